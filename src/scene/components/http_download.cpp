#include "scene/components/http_download.h"

#include <curl/curl.h>

#include <mutex>

namespace kest {

namespace {

// A page a script reads as text; anything larger is taken for a fault.
constexpr size_t kMaxBody = 64u << 20;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

THttpDownload::THttpDownload(const std::string& url, const std::string& proxyHost, int32_t proxyPort) {
  InitCurlOnce();
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  FEasy = easy;
  FMulti = multi;
  if (easy && multi) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    // Scripts name web pages; local files and other schemes stay closed.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    // An error page is a failed download: its body is no answer to read.
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, 600L);
    curl_easy_setopt(easy, CURLOPT_PROXY, proxyHost.c_str());
    if (!proxyHost.empty() && proxyPort > 0) curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(proxyPort));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &THttpDownload::Receive);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_multi_add_handle(multi, easy);
  }
  FThread = std::thread([this] { Run(); });
}

THttpDownload::~THttpDownload() {
  FCancel.store(true);
  if (FMulti) curl_multi_wakeup(static_cast<CURLM*>(FMulti));
  FThread.join();
  if (FMulti && FEasy) curl_multi_remove_handle(static_cast<CURLM*>(FMulti), static_cast<CURL*>(FEasy));
  if (FEasy) curl_easy_cleanup(static_cast<CURL*>(FEasy));
  if (FMulti) curl_multi_cleanup(static_cast<CURLM*>(FMulti));
}

size_t THttpDownload::Receive(char* data, size_t size, size_t count, void* self) {
  auto& download = *static_cast<THttpDownload*>(self);
  const size_t bytes = size * count;
  if (download.FCancel.load() || download.FBody.size() + bytes > kMaxBody) return 0;
  download.FBody.append(data, bytes);
  return bytes;
}

void THttpDownload::Run() {
  bool ok = false;
  auto* multi = static_cast<CURLM*>(FMulti);
  if (multi && FEasy) {
    int running = 1;
    while (!FCancel.load()) {
      if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) break;
      // The wait ends early when the transfer can go on or the owner cancels.
      curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left))
      if (message->msg == CURLMSG_DONE) ok = message->data.result == CURLE_OK;
  }
  if (!ok || FCancel.load()) FBody.clear();
  FFinished.store(true, std::memory_order_release);
}

}  // namespace kest
