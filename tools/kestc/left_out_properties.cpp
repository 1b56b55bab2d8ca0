#include "kestc/left_out_properties.h"

#include <bitset>
#include <map>
#include <string>
#include <vector>

#include "kestc/source_text.h"
#include "kestc/value_syntax.h"
#include "scene/property_table.h"

namespace kest::kestc {

namespace {

using TPropertySet = std::bitset<kPropertyCount>;

// The properties a command names, and those it sets to something.
void Named(const TCommand& command, TPropertySet& named, TPropertySet& set) {
  for (const TFieldValue& f : command.Fields())
    for (size_t p = 0; p < f.Props.size() && p < named.size(); ++p) {
      if (!f.Props[p]) continue;
      named.set(p);
      if (!IsEmptyExpression(*f.Props[p])) set.set(p);
    }
}

// Images, buttons and selection pictures take their size from their picture;
// an empty width or height gives them a size of 0 instead.
bool SizesToPicture(uint8_t id) { return id == ciImgNew || id == ciButton || id == ciMapImgNew; }

// The properties whose creation default differs from what a new object of
// the command's kind starts with: left out beside a command that names them,
// they change the object. Every other creation default is the value the
// object has anyway, and leaving it out costs nothing.
TPropertySet Telling(uint8_t id) {
  TPropertySet telling;
  if (SizesToPicture(id)) telling.set(PR_WIDTH).set(PR_HEIGHT);
  switch (id) {
    case ciButton: telling.set(PR_REPEAT); break;
    case ciMenu: telling.set(PR_ROWCOUNT); break;
    case ciSound:
    case ciMovie:
    case ciCinema: telling.set(PR_VOLUME); break;
    case ciWaveNew: telling.set(PR_AMP).set(PR_WAVELEN); break;
    case ciCGCaption: telling.set(PR_GLYPHWIDTH).set(PR_GLYPHHEIGHT); break;
    case ciSaveCabinet:
    case ciLoadCabinet: telling.set(PR_VISIBLE); break;
    default: break;
  }
  return telling;
}

std::string SizeNote(bool width, bool height) {
  if (width && height) return "; width and height 0 replace its picture's size, so it draws nothing";
  return std::string("; ") + (width ? "width" : "height") + " 0 replaces its picture's size, so it draws nothing";
}

std::string PropertyName(size_t id) {
  const TPropertyInfo* info = PropertyInfo(static_cast<int32_t>(id));
  return info ? LowerAscii(info->Name + 3) : "property " + std::to_string(id);
}

// The names, the ones in first ahead of the rest.
std::string Names(const TPropertySet& missing, const TPropertySet& first) {
  std::string names;
  for (const TPropertySet& part : {missing & first, missing & ~first})
    for (size_t p = 0; p < part.size(); ++p)
      if (part.test(p)) names += (names.empty() ? "" : ", ") + PropertyName(p);
  return names;
}

std::string Message(const std::string& kind, uint8_t id, const TPropertySet& missing) {
  TPropertySet size;
  if (SizesToPicture(id)) size.set(PR_WIDTH).set(PR_HEIGHT);
  const TPropertySet empty = missing & size;
  const std::string text =
      kind + " leaves out " + Names(missing, size) + ", set by another " + kind + " on this page: stored empty here, " +
      (missing.count() == 1 ? "it takes its creation default" : "they take their creation defaults");
  return empty.none() ? text : text + SizeNote(empty.test(PR_WIDTH), empty.test(PR_HEIGHT));
}

}  // namespace

void WarnOfLeftOutProperties(const TCompiledPage& page, TDiagnostics& diagnostics) {
  std::map<uint8_t, TPropertySet> setByKind;
  std::vector<TPropertySet> named(static_cast<size_t>(page.Count()));
  for (int32_t i = 0; i < page.Count(); ++i) {
    const TCommand& command = page.At(i);
    Named(command, named[static_cast<size_t>(i)], setByKind[command.GetCommandId()]);
  }
  for (int32_t i = 0; i < page.Count(); ++i) {
    const TCommand& command = page.At(i);
    const uint8_t id = command.GetCommandId();
    const TPropertySet missing = setByKind[id] & ~named[static_cast<size_t>(i)] & Telling(id);
    if (missing.none()) continue;
    diagnostics.Warn(page.File, page.SourceLines.at(static_cast<size_t>(i)), 0,
                     Message(command.Layout().Name, id, missing));
  }
}

}  // namespace kest::kestc
