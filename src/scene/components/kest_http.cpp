#include "scene/components/kest_http.h"

#include <charconv>

#include "common/app_globals.h"
#include "common/euc_jp.h"
#include "scene/components/http_download.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {

// The lines of a text (CR, LF or CR LF ends one) joined by 0x01; a last line
// break adds no empty line.
std::string JoinLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (i + 1 < text.size()) out += '\x01';
  }
  return out;
}

}  // namespace

TKestHttp::TKestHttp(TKestBaseList& scene) : TKestComponent(scene) {}

// The download is cancelled and its thread joined here, on the spot: no
// frames run meanwhile, and a stalled server cannot hold the player.
TKestHttp::~TKestHttp() = default;

TPropValue TKestHttp::GetProp(int32_t id) const {
  switch (id) {
    case PR_SOURCE: return FSource;
    case PR_ONPLAYEND: return FOnPlayEnd;
    case PR_TEXT: return JoinLines(EucJpToSjis(FBody));
    case PR_PLAYING: return Downloading();
    default: return TKestComponent::GetProp(id);
  }
}

void TKestHttp::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_SOURCE:
      if (!Downloading()) Start(std::get<std::string>(value));
      return;
    case PR_ONPLAYEND: FOnPlayEnd = std::get<std::string>(std::move(value)); return;
    case PR_TEXT:
    case PR_PLAYING: return;
    default: return TKestComponent::SetProp(id, std::move(value));
  }
}

void TKestHttp::Start(const std::string& source) {
  FSource = source;
  std::string url = source;
  if (!source.empty() && source[0] == '!') {
    auto* named = dynamic_cast<TKestHttp*>(Scene().FindObject(std::string_view(source).substr(1)));
    url = named ? named->Body() : std::string();
  }
  FBody.clear();
  FDownload = std::make_unique<THttpDownload>(url, FProxyHost, FProxyPort);
}

bool TKestHttp::Update() {
  if (!FDownload || !FDownload->Finished()) return false;
  // Playing ends together with the event, so a script never reads a body
  // that is still arriving.
  FBody = FDownload->TakeBody();
  FDownload.reset();
  if (!AppTerminating) Scene().PostEvent(*this, FOnPlayEnd, TArrayString(), PR_ONPLAYEND);
  return false;
}

std::string TKestHttp::Proxy() const {
  if (FProxyHost.empty()) return std::string();
  return FProxyHost + ":" + std::to_string(FProxyPort);
}

void TKestHttp::SetProxy(std::string_view text) {
  const size_t colon = text.rfind(':');
  FProxyHost = std::string(text.substr(0, colon));
  FProxyPort = 0;
  if (colon != std::string_view::npos) {
    const std::string_view port = text.substr(colon + 1);
    std::from_chars(port.data(), port.data() + port.size(), FProxyPort);
  }
}

}  // namespace kest
