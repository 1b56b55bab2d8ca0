#pragma once
// One HTTP GET into memory on a worker thread. The owner polls Finished on
// the main thread; destroying a running download cancels it and returns at
// once, without waiting for a stalled server.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace kest {

class THttpDownload {
 public:
  // An empty proxy host means no proxy, whatever the environment says.
  THttpDownload(const std::string& url, const std::string& proxyHost, int32_t proxyPort);
  ~THttpDownload();
  THttpDownload(const THttpDownload&) = delete;
  THttpDownload& operator=(const THttpDownload&) = delete;

  bool Finished() const { return FFinished.load(std::memory_order_acquire); }
  // The body once finished; empty when the transfer failed.
  std::string TakeBody() { return std::move(FBody); }

 private:
  void Run();
  static size_t Receive(char* data, size_t size, size_t count, void* self);

  void* FMulti = nullptr;  // CURLM*, woken by the destructor
  void* FEasy = nullptr;   // CURL*
  std::string FBody;
  std::atomic<bool> FCancel{false};
  std::atomic<bool> FFinished{false};
  std::thread FThread;
};

}  // namespace kest
