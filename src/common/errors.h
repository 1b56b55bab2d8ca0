#pragma once
// Every failure the player raises carries the system's own message text as
// CP932 bytes; what() hands those bytes back unchanged, and only the code that
// shows a message converts it for the host.

#include <stdexcept>
#include <string>

namespace kest {

class EKestError : public std::runtime_error {
 public:
  explicit EKestError(const std::string& message) : std::runtime_error(message) {}
  explicit EKestError(const char* message) : std::runtime_error(message) {}
};

// Stored data ended early or held a count, length or value it cannot have.
class EReadError : public EKestError {
 public:
  EReadError() : EKestError("Stream read error") {}
  explicit EReadError(const std::string& message) : EKestError(message) {}
};

// A stream took fewer bytes than it was given.
class EWriteError : public EKestError {
 public:
  EWriteError() : EKestError("Stream write error") {}
  explicit EWriteError(const std::string& message) : EKestError(message) {}
};

}  // namespace kest
