#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>
#include <vector>

#include "common/euc_jp.h"
#include "scene/components/kest_http.h"
#include "scene/kest_base_list.h"

namespace kest {
namespace {

using namespace std::chrono_literals;

// A server on 127.0.0.1 that answers each path with a fixed status and
// body ("@path": its own address of the path); "/stall" is accepted and never
// answered.
class TTestServer {
 public:
  explicit TTestServer(std::map<std::string, std::pair<int, std::string>> pages) : FPages(std::move(pages)) {
    FListener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(FListener, reinterpret_cast<sockaddr*>(&address), &length);
    FPort = ntohs(address.sin_port);
    listen(FListener, 8);
    FThread = std::thread([this] { Serve(); });
  }
  ~TTestServer() {
    FStop = true;
    FThread.join();
    for (int fd : FStalled) close(fd);
    close(FListener);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(FPort) + path; }

 private:
  void Serve() {
    while (!FStop) {
      pollfd wait{FListener, POLLIN, 0};
      if (poll(&wait, 1, 20) <= 0) continue;
      const int client = accept(FListener, nullptr, nullptr);
      if (client < 0) continue;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = read(client, buffer, sizeof buffer);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
      }
      const size_t start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      if (path == "/stall") {
        FStalled.push_back(client);
        continue;
      }
      const auto page = FPages.find(path);
      const int status = page == FPages.end() ? 404 : page->second.first;
      std::string body = page == FPages.end() ? "none" : page->second.second;
      if (body.starts_with('@')) body = Url(body.substr(1));
      const std::string reply = "HTTP/1.0 " + std::to_string(status) +
                                " X\r\nContent-Length: " + std::to_string(body.size()) +
                                "\r\nConnection: close\r\n\r\n" + body;
      (void)!write(client, reply.data(), reply.size());
      close(client);
    }
  }

  std::map<std::string, std::pair<int, std::string>> FPages;
  int FListener = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::vector<int> FStalled;
  std::thread FThread;
};

class Http : public ::testing::Test {
 protected:
  TKestHttp& NewHttp(const std::string& name) {
    auto& http = Scene.Create<TKestHttp>();
    http.SetName(name);
    http.SetProp(PR_ONPLAYEND, std::string("end.src"));
    return http;
  }
  // Runs frames until an event waits; answers how many wait.
  int32_t RunUntilEvent() {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (Scene.Events().Count() == 0 && std::chrono::steady_clock::now() < deadline) {
      Scene.UpdateScene();
      std::this_thread::sleep_for(2ms);
    }
    return Scene.Events().Count();
  }
  std::string Text(TKestHttp& http) { return std::get<std::string>(http.GetProp(PR_TEXT)); }

  const std::string FEucBody = std::string("A\0B\r\n\xA4\xA2\n\x8E\xB1\xA1\xA1\n", 13);
  TTestServer Server{{{"/euc", {200, FEucBody}}, {"/url", {200, "@/euc"}}, {"/gone", {404, "missing page"}}}};
  TKestBaseList Scene;
};

TEST_F(Http, AnEucBodyReadsAsShiftJisLinesJoinedBy01) {
  TKestHttp& http = NewHttp("h");
  http.SetProp(PR_SOURCE, Server.Url("/euc"));
  EXPECT_TRUE(std::get<bool>(http.GetProp(PR_PLAYING)));
  // The source stays while the download runs.
  http.SetProp(PR_SOURCE, Server.Url("/gone"));
  EXPECT_EQ(std::get<std::string>(http.GetProp(PR_SOURCE)), Server.Url("/euc"));

  ASSERT_EQ(RunUntilEvent(), 1);
  const TTimerData& end = Scene.Events().Items(0);
  EXPECT_EQ(end.Code, PR_ONPLAYEND);
  EXPECT_EQ(end.Reference, "end.src");
  EXPECT_EQ(end.Args.Count(), 0);
  EXPECT_FALSE(std::get<bool>(http.GetProp(PR_PLAYING)));
  EXPECT_EQ(http.Body(), FEucBody);
  EXPECT_EQ(Text(http), std::string("A B\x01\x82\xA0\x01\xB1\x81\x40"));
}

TEST_F(Http, ABangSourceTakesTheUrlFromAnotherDownloadsBody) {
  TKestHttp& first = NewHttp("first");
  first.SetProp(PR_SOURCE, Server.Url("/url"));
  ASSERT_EQ(RunUntilEvent(), 1);
  Scene.Events().Clear();
  TKestHttp& second = NewHttp("second");
  second.SetProp(PR_SOURCE, std::string("!first"));
  ASSERT_EQ(RunUntilEvent(), 1);
  EXPECT_EQ(second.Body(), FEucBody);
}

TEST_F(Http, FailuresEndWithTheEventAndAnEmptyBody) {
  // A port nobody listens on refuses the connection.
  const int closed = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(closed, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(closed, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string refused = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";

  for (const std::string& url : {Server.Url("/gone"), refused}) {
    TKestHttp& http = NewHttp("h");
    http.SetProp(PR_SOURCE, url);
    ASSERT_EQ(RunUntilEvent(), 1) << url;
    EXPECT_EQ(Scene.Events().Items(0).Code, PR_ONPLAYEND);
    EXPECT_EQ(http.Body(), "");
    EXPECT_EQ(Text(http), "");
    Scene.Events().Clear();
    Scene.Destroy(http);
  }
  close(closed);
}

TEST_F(Http, DestroyingDuringAStalledResponseReturnsAtOnce) {
  TKestHttp& http = NewHttp("h");
  http.SetProp(PR_SOURCE, Server.Url("/stall"));
  for (int frame = 0; frame < 20; ++frame) {
    Scene.UpdateScene();
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(std::get<bool>(http.GetProp(PR_PLAYING)));
  const auto start = std::chrono::steady_clock::now();
  Scene.Destroy(http);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_EQ(Scene.Events().Count(), 0);
}

TEST(EucJp, RowEdgesAndWhatShiftJisCannotHold) {
  EXPECT_EQ(EucJpToSjis("\xA1\xE0\xDF\xA1\xFE\xFE"), "\x81\x80\xE0\x40\xEF\xFC");
  // A JIS X 0212 triple, a lone high byte and a cut character.
  EXPECT_EQ(EucJpToSjis("\x8F\xB0\xA1x\x80y\xA4"), "?x?y?");
  // Bodies are taken for EUC-JP whatever they are: UTF-8 keeps its ASCII and
  // its other characters come out as '?' or as unrelated kanji.
  EXPECT_EQ(EucJpToSjis("a\xE3\x81\x82"
                        "b"),
            "a???b");
}

TEST(HttpProxy, ReadsAsHostColonPort) {
  TKestBaseList scene;
  auto& http = scene.Create<TKestHttp>();
  EXPECT_EQ(http.Proxy(), "");
  http.SetProxy("proxy.example:8080");
  EXPECT_EQ(http.Proxy(), "proxy.example:8080");
}

}  // namespace
}  // namespace kest
