// kestpack: makes, reads and checks game archives, and puts them into a
// player program (see the help text below for the forms).
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/errors.h"
#include "common/jstring.h"
#include "common/sjis.h"
#include "storage/archive_paths.h"
#include "storage/big_file_stream.h"
#include "storage/big_memory_stream.h"
#include "storage/program_file.h"
#include "storage/vr_file_collection.h"

namespace {

using namespace kest;
namespace fs = std::filesystem;

constexpr const char* kHelp = R"(usage: kestpack COMMAND ...

  create [--split] [--segment-size BYTES] OUT.dat FOLDER
      Write an archive of every file below FOLDER. Entries are named by their
      path below FOLDER with "\" between folders, in Shift-JIS (file names are
      read as UTF-8). Sounds, movies and large files are stored, the rest is
      compressed with zlib. With --split the index is also written to OUT.ext
      beside OUT.dat. Data past the segment size (default 1 GiB) continues in
      OUT.001, OUT.002 ...
  list [--resource] ARCHIVE
      One line per entry: size, stored or zlib, checksum and its mode, name.
  extract [--resource] ARCHIVE DIR
      Write every entry below DIR. An archive with a name that would leave DIR
      ("..", an absolute path, a drive letter) is refused as a whole.
  verify [--resource] ARCHIVE
      Check every entry's checksum and that every compressed entry inflates.
  append PROGRAM ARCHIVE OUT
      Write OUT: PROGRAM with ARCHIVE appended behind it (in place of any
      archive it had), then the 6-byte trailer: the archive's start as a
      4-byte little-endian number, then "kv".
  resource add PROGRAM NAME TYPE FILE OUT
      Write OUT: PROGRAM with FILE as its resource NAME of TYPE (replacing one
      of the same name and type). The player mounts the resource DUMMY of
      type BINTYPE as its game data; a FILE that is an archive (it begins
      with "vf") gets the two bytes "vf" appended, the mark the player looks
      for at the end of that resource.
  resource list PROGRAM
      One line per resource: size, type, name.

ARCHIVE is an archive file (with its index in NAME.ext when that exists
beside NAME.dat) or a program with an archive appended. With --resource it
is a program whose DUMMY/BINTYPE resource holds the archive. An archive
written with --segment-size is read with the same --segment-size.

Resources live in a section behind the program and in front of an appended
archive: a 4-byte count; per resource its name and type (each a 4-byte
length and the Shift-JIS bytes), the 8-byte offset of its content from the
section start and its 8-byte size; the contents; then an 8-byte length of the
whole section and the four bytes "kres". All numbers are little-endian.

Exit status: 0 done, 1 failed (the message says why), 2 wrong usage.
)";

struct TUsageError {
  std::string Message;
};

std::string Shown(std::string_view cp932) { return Cp932ToUtf8(cp932); }

void Fail(const std::string& message) { throw EKestError(Utf8ToCp932(message)); }

// The arguments of one command, with its --options taken out.
struct TArgs {
  std::vector<std::string> Words;
  bool Resource = false;
  bool Split = false;
  int64_t SegmentSize = TTpBigFileStream::kDefaultSegmentSize;
};

TArgs ParseArgs(int argc, char** argv, int first) {
  TArgs args;
  for (int i = first; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--resource" || a == "-r") {
      args.Resource = true;
    } else if (a == "--split") {
      args.Split = true;
    } else if (a == "--segment-size") {
      if (++i >= argc) throw TUsageError{"--segment-size needs a number of bytes"};
      char* end = nullptr;
      args.SegmentSize = std::strtoll(argv[i], &end, 10);
      if (!end || *end || args.SegmentSize <= 0) throw TUsageError{"--segment-size needs a positive number of bytes"};
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      throw TUsageError{"unknown option " + a};
    } else {
      args.Words.push_back(a);
    }
  }
  return args;
}

void Expect(const TArgs& args, size_t count, const char* form) {
  if (args.Words.size() != count) throw TUsageError{std::string("usage: kestpack ") + form};
}

void OpenArchive(TVrFileCollection& archive, const std::string& path, bool resource) {
  if (!fs::is_regular_file(path)) Fail(path + ": no such file");
  if (resource) {
    archive.OpenResource(path);
  } else {
    archive.Open(path);
  }
  if (!archive.ArchiveStream()) Fail(path + ": holds no archive");
}

// Every regular file below folder as (entry name, host path), sorted by name.
std::vector<std::pair<std::string, std::string>> CollectFiles(const fs::path& folder, const std::string& skip) {
  std::vector<std::pair<std::string, std::string>> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; it != end; it.increment(error)) {
    if (error) Fail(folder.string() + ": " + error.message());
    if (!it->is_regular_file()) continue;
    if (!skip.empty() && fs::equivalent(it->path(), skip, error)) continue;
    const std::string relative = it->path().lexically_relative(folder).generic_string();
    const auto name = EntryNameOfHostPath(relative);
    const auto back = name ? HostPathOf(folder.string() + "/", *name) : std::nullopt;
    if (!back || *back != folder.string() + "/" + relative) Fail(relative + ": the name has no exact Shift-JIS form");
    files.emplace_back(*name, it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void WriteIndexCopy(const std::string& out, int64_t segmentSize) {
  TVrFileCollection archive(segmentSize);
  archive.Open(out);
  const int64_t index_end = archive.Count() > 0 ? archive[0]->Offset : archive.EndOffset();
  TTpBigFileStream data(out, big_file_mode::kOpenRead, segmentSize);
  TTpBigFileStream index(fs::path(out).replace_extension(".ext").string(), big_file_mode::kCreate,
                         TTpBigFileStream::kSingleFile);
  data.Seek(0);
  if (index.CopyFrom(data, index_end) != index_end) Fail(out + ": cannot copy the index");
}

int Create(const TArgs& args) {
  Expect(args, 2, "create [--split] [--segment-size BYTES] OUT.dat FOLDER");
  const std::string& out = args.Words[0];
  const fs::path folder = fs::path(args.Words[1]).lexically_normal();
  if (!fs::is_directory(folder)) Fail(folder.string() + ": no such folder");
  const auto files = CollectFiles(folder, fs::exists(out) ? out : std::string());
  TVrFileCollection archive(args.SegmentSize);
  archive.SetBaseFolder(folder.string());
  for (const auto& file : files) archive.AddFile(file.first);
  archive.OnWriteError = [](const std::string& message) {
    std::fprintf(stderr, "kestpack: %s\n", Shown(message).c_str());
  };
  {
    TTpBigFileStream target(out, big_file_mode::kCreate, args.SegmentSize);
    archive.WriteArchive(target);
  }
  if (args.Split) WriteIndexCopy(out, args.SegmentSize);
  std::printf("%s: %zu entries\n", out.c_str(), files.size());
  return 0;
}

int List(const TArgs& args) {
  Expect(args, 1, "list [--resource] ARCHIVE");
  TVrFileCollection archive(args.SegmentSize);
  OpenArchive(archive, args.Words[0], args.Resource);
  for (int32_t i = 0; i < archive.Count(); ++i) {
    const TVrFile& entry = *archive[i];
    char checksum[32] = "-";
    if (archive.HasChecksums())
      std::snprintf(checksum, sizeof checksum, "%08x %s", entry.Checksum, entry.ChecksumOfPlain ? "plain" : "bytes");
    std::printf("%12lld  %-6s  %-14s  %s\n", static_cast<long long>(entry.Size), entry.Stored ? "stored" : "zlib",
                checksum, Shown(entry.Name()).c_str());
  }
  std::printf("%d entries, version %d\n", archive.Count(), archive.Version());
  return 0;
}

std::string HostRelative(std::string_view name) {
  std::string slashed;
  for (TJChar c : JChars(name)) slashed += c.Bytes == "\\" ? std::string_view("/") : c.Bytes;
  return Cp932ToUtf8(slashed);
}

void WriteHostFile(const fs::path& path, std::span<const uint8_t> bytes) {
  fs::create_directories(path.parent_path());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Fail(path.string() + ": cannot create (" + std::strerror(errno) + ")");
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) Fail(path.string() + ": cannot write");
}

int Extract(const TArgs& args) {
  Expect(args, 2, "extract [--resource] ARCHIVE DIR");
  TVrFileCollection archive(args.SegmentSize);
  OpenArchive(archive, args.Words[0], args.Resource);
  for (int32_t i = 0; i < archive.Count(); ++i) {
    const std::string& name = archive[i]->Name();
    if (!IsSafeEntryName(name))
      Fail("refusing the archive: the entry \"" + Shown(name) + "\" would be written outside " + args.Words[1]);
  }
  const fs::path dir = args.Words[1];
  std::unordered_set<std::string> done;
  TTpBigMemoryStream bytes;
  for (int32_t i = archive.Count(); i-- > 0;) {
    const TVrFile& entry = *archive[i];
    if (!done.insert(FoldName(entry.Name())).second) continue;
    bytes.Clear();
    archive.ExtractEntry(entry, bytes);
    WriteHostFile(dir / HostRelative(entry.Name()), bytes.Data());
  }
  std::printf("%zu files written below %s\n", done.size(), dir.c_str());
  return 0;
}

int Verify(const TArgs& args) {
  Expect(args, 1, "verify [--resource] ARCHIVE");
  TVrFileCollection archive(args.SegmentSize);
  OpenArchive(archive, args.Words[0], args.Resource);
  int bad = 0;
  TTpBigMemoryStream bytes;
  for (int32_t i = 0; i < archive.Count(); ++i) {
    const TVrFile& entry = *archive[i];
    try {
      bytes.Clear();
      archive.ExtractEntry(entry, bytes);
      if (archive.HasChecksums() && archive.ComputeChecksum(entry) != entry.Checksum) {
        std::printf("BAD  %s: checksum mismatch\n", Shown(entry.Name()).c_str());
        ++bad;
      }
    } catch (const EKestError& e) {
      std::printf("BAD  %s\n", Shown(e.what()).c_str());
      ++bad;
    }
  }
  std::printf("%d entries, %d bad%s\n", archive.Count(), bad,
              archive.HasChecksums() ? "" : " (no checksums before version 101)");
  return bad ? 1 : 0;
}

int Append(const TArgs& args) {
  Expect(args, 3, "append PROGRAM ARCHIVE OUT");
  TTpBigMemoryStream head;
  {
    TTpBigFileStream archive(args.Words[1], big_file_mode::kOpenRead);
    head.CopyFromStream(archive, std::min<int64_t>(archive.Size(), 2));
  }
  if (head.Size() < 2 || head.Data()[0] != 'v' || head.Data()[1] != 'f')
    Fail(args.Words[1] + ": not an archive that begins with \"vf\"");
  WriteProgramWithArchive(args.Words[0], args.Words[1], args.Words[2]);
  return 0;
}

int Resource(const TArgs& args) {
  if (!args.Words.empty() && args.Words[0] == "list") {
    Expect(args, 2, "resource list PROGRAM");
    if (!fs::is_regular_file(args.Words[1])) Fail(args.Words[1] + ": no such file");
    for (const TProgramResource& r : ListProgramResources(args.Words[1]))
      std::printf("%12lld  %-10s  %s\n", static_cast<long long>(r.Size), Shown(r.Type).c_str(), Shown(r.Name).c_str());
    return 0;
  }
  if (args.Words.empty() || args.Words[0] != "add") throw TUsageError{"usage: kestpack resource add|list ..."};
  Expect(args, 6, "resource add PROGRAM NAME TYPE FILE OUT");
  TTpBigMemoryStream content;
  content.LoadFromFile(args.Words[4]);
  const auto data = content.Data();
  const bool archive = data.size() >= 2 && data[0] == 'v' && data[1] == 'f';
  if (archive && !(data[data.size() - 2] == 'v' && data[data.size() - 1] == 'f')) {
    content.Seek(content.Size());
    WriteExact(content, "vf", 2);
  }
  const auto name = Utf8ToCp932Strict(args.Words[2]);
  const auto type = Utf8ToCp932Strict(args.Words[3]);
  if (!name || !type) Fail("the resource name and type must have a Shift-JIS form");
  WriteProgramWithResource(args.Words[1], args.Words[5], *name, *type, content.Data());
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 2) throw TUsageError{"usage: kestpack COMMAND ... (kestpack --help tells more)"};
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  const TArgs args = ParseArgs(argc, argv, 2);
  if (command == "create") return Create(args);
  if (command == "list") return List(args);
  if (command == "extract") return Extract(args);
  if (command == "verify") return Verify(args);
  if (command == "append") return Append(args);
  if (command == "resource") return Resource(args);
  throw TUsageError{"unknown command " + command + " (kestpack --help lists them)"};
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "kestpack: %s\n", e.Message.c_str());
    return 2;
  } catch (const EKestError& e) {
    std::fprintf(stderr, "kestpack: %s\n", Shown(e.what()).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestpack: %s\n", e.what());
    return 1;
  }
}
