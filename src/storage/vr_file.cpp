#include "storage/vr_file.h"

namespace kest {

void TVrFile::Assign(const THashCollectionItem& source) {
  THashCollectionItem::Assign(source);
  const auto* file = dynamic_cast<const TVrFile*>(&source);
  if (!file) return;
  Offset = file->Offset;
  Size = file->Size;
  Content = file->Content ? std::make_unique<TTpMemoryStream>(*file->Content) : nullptr;
  Stored = file->Stored;
  Timestamp = file->Timestamp;
  Checksum = file->Checksum;
  ChecksumOfPlain = file->ChecksumOfPlain;
  InArchive = file->InArchive;
}

}  // namespace kest
