#pragma once
// A download in the background: setting the source fetches it, and the
// play-end event reports on the main thread that the body has arrived (or
// that the download failed, with an empty body).
#include <memory>
#include <string_view>

#include "scene/kest_object.h"

namespace kest {

class THttpDownload;

class TKestHttp : public TKestComponent {
 public:
  explicit TKestHttp(TKestBaseList& scene);
  ~TKestHttp() override;
  TComponentKind Kind() const override { return LT_HTTP; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  // Takes up a finished download: the body, then the play-end event.
  bool Update() override;

  bool Downloading() const { return FDownload != nullptr; }
  // The body as received.
  const std::string& Body() const { return FBody; }
  // The proxy as "host:port" (empty: none).
  std::string Proxy() const;
  void SetProxy(std::string_view text);

 private:
  void Start(const std::string& source);

  std::string FSource;
  std::string FOnPlayEnd;
  std::string FBody;
  std::string FProxyHost;
  int32_t FProxyPort = 0;
  std::unique_ptr<THttpDownload> FDownload;
};

}  // namespace kest
