#pragma once
// The one place that decides where a file the game asks for comes from: the
// game folder on disk first, then the mounted archives in order (index 0, the
// in-memory collection made by mounting the empty name, before game.dat),
// then the roots of the mounted game discs. It also copies archive entries
// out to work files for players that need a real path, and asks for the disc
// of a multi-disc game.
//
// Game names are Shift-JIS with "\" between folders. On disk every part is
// matched ignoring ASCII case (see THostNameResolver). Names in drive-letter
// ("C:\...") or network ("\\host\...") form are looked up in the archives
// only, never on the host. Host folders and returned paths are UTF-8.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/disc_prompt.h"
#include "storage/disc_roots.h"
#include "storage/host_name_resolver.h"
#include "storage/range_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_lock_list.h"
#include "storage/work_folder.h"

namespace kest {

class TVrFileManager {
 public:
  struct TOptions {
    // Where the disc file systems are listed (tests give a table of their own).
    std::string MountTable = kMountTable;
    // Where the private work folder is made; empty means $TMPDIR, else /tmp.
    std::string TempParent;
  };

  TVrFileManager() : TVrFileManager(TOptions()) {}
  explicit TVrFileManager(TOptions options);
  // Deletes every work file and the work folder.
  ~TVrFileManager();
  TVrFileManager(const TVrFileManager&) = delete;
  TVrFileManager& operator=(const TVrFileManager&) = delete;

  // Some collection has the name, or the game folder or a disc root holds it.
  bool Exists(std::string_view name);
  // The bytes of the file, inflated, into target, which is then rewound (a
  // memory target is emptied first). Raises "%s:ファイルがありません".
  void Load(TStream& target, std::string_view name);
  // A real file path for the name: the game folder's file, else a work file
  // made once per name (letter case counting), else a disc's file, else the
  // name itself. Raises "作業用ファイルが作れません".
  std::string GetFileName(std::string_view name);
  // A read-only stream over the file's bytes. Raises "%s:ファイルがありません".
  std::unique_ptr<TRangeStream> OpenRange(std::string_view name);
  // Adds the names of the files in a game folder ("bgm\", or "" for the top)
  // from every collection, then the game folder, then the discs; a name
  // already in the list (ignoring case) is not added again.
  void ListFiles(std::string_view folder, std::vector<std::string>& list);
  // The entry of the first collection that has the name.
  TVrFile* FindEntry(std::string_view name) const;
  // The host file a game name denotes below a host folder, matched the way
  // every game file is (ignoring case, never outside the folder).
  std::optional<std::string> FindHostFile(std::string folder, std::string_view name);
  // The folder part of a name with its trailing "\" (empty without one).
  static std::string FolderOf(std::string_view name);

  // Opens the archive in a host file and appends it; its index. A collection
  // whose base folder equals the name is there already: -1 and nothing is
  // mounted, which keeps the in-memory collection of the empty name unique.
  // A damaged index raises and mounts nothing.
  int32_t Mount(const std::string& fileName);
  int32_t MountResource(const std::string& moduleFileName, std::string_view resourceName = "DUMMY",
                        std::string_view resourceType = "BINTYPE");
  // Frees and removes a collection; an index outside the list does nothing.
  void Unmount(int32_t index);
  int32_t Count() const { return static_cast<int32_t>(FCollections.size()); }
  TVrFileCollection* Collections(int32_t index) const { return FCollections[static_cast<size_t>(index)].get(); }

  // The game folder (a host path); stored with a trailing "/", empty stays
  // empty and then the disk is never searched.
  void SetBaseFolder(std::string folder);
  const std::string& BaseFolder() const { return FBaseFolder; }

  // The mount points of the game discs, as read at creation or at the last
  // disc search.
  const std::vector<std::string>& DiscRoots() const { return FDiscRoots; }
  void RefreshDiscRoots();
  // Mounts the game.dat of every disc root whose install.dat belongs to the
  // game game_id and is disc number disc (0 = first; -1 = any); how many.
  int32_t MountMatchingDiscs(const std::string& gameId, int32_t disc);
  // Asks for disc n (1-based) until it is found and mounted (true) or the
  // user confirms quitting (false; AppTerminating is then set). Without a
  // prompt nothing can be asked: false.
  bool ChangeDisc(int32_t n);
  // The boxes of ChangeDisc; not owned.
  void SetDiscPrompt(IDiscPrompt* prompt) { FPrompt = prompt; }
  // The game identifier a disc's install.dat must carry, and the boxes' caption.
  void SetProjectTitle(std::string title) { FProjectTitle = std::move(title); }
  // The project's texts of the two boxes: the request, whose "%d" becomes
  // the disc number, and the quit question. An empty text keeps the standard
  // one, since a box without text cannot say what it wants.
  void SetDiscTexts(std::string prompt, std::string quit);

  // The player changed the file: its work files are dropped (to be deleted
  // at the next tick) and the folder listings are read again.
  void FileChanged(std::string_view name);
  const TVrLockList& LockList() const { return FLocks; }
  // The private folder of the work files (made on first use).
  std::string WorkFolder() { return FWork.Path(); }
  // Paths of work files to delete; the frame tick calls DeletePendingFiles.
  std::vector<std::string>& PendingDeletes() { return FPendingDeletes; }
  void DeletePendingFiles();

 private:
  std::optional<std::string> FindOnDisk(const std::string& folder, std::string_view name);
  std::optional<std::string> FindOnDiscs(std::string_view name);
  void LoadInto(TTpBigMemoryStream& out, std::string_view name);
  // The first collection that holds the name's bytes copies them out.
  bool LoadFromCollections(TTpBigMemoryStream& out, std::string_view name);
  std::string MakeWorkFile(std::string_view name);
  void UnmountDiscs(const std::vector<std::string>& roots);
  bool DiscMatches(const std::string& root, const std::string& gameId, int32_t disc);
  [[noreturn]] static void FailNotFound(std::string_view name);

  std::string FMountTable;
  std::vector<std::unique_ptr<TVrFileCollection>> FCollections;
  std::vector<std::string> FDiscRoots;
  std::string FBaseFolder;
  THostNameResolver FResolver;
  TWorkFolder FWork;
  TVrLockList FLocks;
  std::vector<std::string> FPendingDeletes;
  IDiscPrompt* FPrompt = nullptr;
  std::string FProjectTitle;
  std::string FDiscPrompt;
  std::string FQuitText;
};

}  // namespace kest
