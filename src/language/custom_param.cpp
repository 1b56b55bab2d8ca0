#include "language/custom_param.h"

#include <algorithm>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_errors.h"
#include "language/param_var.h"
#include "language/typed_param.h"

namespace kest {

int32_t TCustomParam::DimCount() const { return FDims.empty() ? 1 : static_cast<int32_t>(FDims.size()); }

int32_t TCustomParam::GetDim(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(FDims.size())) return 1;
  return FDims[static_cast<size_t>(index)];
}

void TCustomParam::AssignRaw(const TCustomParam& other) { FDims = other.FDims; }

int32_t TCustomParam::ElementCount(std::span<const int32_t> sizes) {
  int64_t product = 1;
  for (int32_t size : sizes) {
    if (size < 1) throw EKestError(ErrBadDims(sizes));
    product *= size;
    if (product > kMaxParamElements) throw EKestError(ErrBadDims(sizes));
  }
  return static_cast<int32_t>(product);
}

void TCustomParam::SetDims(std::span<const int32_t> sizes) {
  const int32_t count = ElementCount(sizes);
  FDims.assign(sizes.begin(), sizes.end());
  SetCount(count);
}

void TCustomParam::CopyMem(const TCustomParam& other) {
  FDims = other.FDims;
  SetCount(other.Count());
}

void TCustomParam::SaveDims(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(FDims.size()));
  for (int32_t size : FDims) WriteInt(stream, size);
}

void TCustomParam::LoadDims(TStream& stream) {
  const int32_t n = ReadInt(stream);
  if (n < 0) throw EReadError();
  RequireRemaining(stream, int64_t{n} * 4);
  std::vector<int32_t> sizes(static_cast<size_t>(n));
  for (int32_t& size : sizes) size = ReadInt(stream);
  try {
    ElementCount(sizes);
  } catch (const EKestError& e) {
    throw EReadError(e.what());
  }
  FDims = std::move(sizes);
}

void TCustomParam::SaveToStream(TStream& stream) const { SaveDims(stream); }

void TCustomParam::LoadFromStream(TStream& stream) { LoadDims(stream); }

bool StrMatches(std::string_view element, std::string_view s, bool caseSensitive, bool partial) {
  if (partial) {
    if (caseSensitive) return element.find(s) != std::string_view::npos;
    return FoldName(element).find(FoldName(s)) != std::string::npos;
  }
  return caseSensitive ? element == s : SameName(element, s);
}

int32_t TCustomParam::IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const {
  const int32_t n = Count();
  for (int32_t i = 0; i < n; ++i) {
    if (StrMatches(GetStr(i), s, caseSensitive, partial)) return i;
  }
  return -1;
}

void TCustomParam::AssignConvert(const TCustomParam& other) {
  if (other.IsDimensionless()) {
    SetDims({});
    SetCount(other.Count());
  } else {
    std::vector<int32_t> sizes;
    const int32_t dims = other.DimCount();
    for (int32_t k = 0; k < dims; ++k) sizes.push_back(other.GetDim(k));
    SetDims(sizes);
  }
  const int32_t n = std::min(Count(), other.Count());
  const uint8_t type = ParamType();
  for (int32_t i = 0; i < n; ++i) {
    switch (type) {
      case PT_INT: SetInt(i, other.GetInt(i)); break;
      case PT_FLOAT: SetFloat(i, other.GetFloat(i)); break;
      case PT_BOOL: SetFlag(i, other.GetFlag(i)); break;
      case PT_STR: SetStr(i, other.GetStr(i)); break;
      default: return;
    }
  }
}

TParamPtr CreateParam(uint8_t code) {
  switch (code % 128) {
    case PT_NONE: return std::make_unique<TParamVar>(nullptr);
    case PT_INT: return std::make_unique<TParamInt>();
    case PT_FLOAT: return std::make_unique<TParamFloat>();
    case PT_BOOL: return std::make_unique<TParamFlag>();
    case PT_STR: return std::make_unique<TParamStr>();
    default: return nullptr;
  }
}

}  // namespace kest
