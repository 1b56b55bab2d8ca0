#pragma once
// The record of one saved game ("GAMESAVEDATA" and the slot in the save
// file): version, title, jump page and pc, then the scene, the histories,
// the interpreter, the game variables and the game tables, each loaded with
// the record's version.

#include <cstdint>
#include <string>

namespace kest {

class IProjectInterpreter;
class IStatusPart;
class TKestBaseList;
class TParamCollection;
class TStream;

struct TGameRecordParts {
  TKestBaseList* Scene = nullptr;
  IProjectInterpreter* Interpreter = nullptr;
  TParamCollection* Vars = nullptr;
  // The game tables; they write the same record as the status tables.
  IStatusPart* Tables = nullptr;
};

struct TGameRecordHead {
  int32_t Version = 0;
  std::string Title;
  std::string JumpPage;
  int32_t JumpPc = 0;
};

inline constexpr int32_t kOldestGameRecord = 107;

// Writes the newest record of the parts' state.
void WriteGameRecord(TStream& stream, const TGameRecordParts& parts, const TGameRecordHead& head);
// Reads version, title, jump page and pc; raises EReadError for a version
// below the oldest or above the newest one this player writes.
TGameRecordHead ReadGameRecordHead(TStream& stream);
// Loads the rest of the record into the parts, runs its jump page on top of
// the restored script, and builds the message windows' text again. Raises on
// a damaged record, with the parts half loaded.
void LoadGameRecord(TStream& stream, const TGameRecordParts& parts, const TGameRecordHead& head);

}  // namespace kest
