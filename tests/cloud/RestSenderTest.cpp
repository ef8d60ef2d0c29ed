#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include "CloudTestSupport.h"
#include "TestWait.h"
#include "Vek.RESTSender.h"

namespace {

// What a sender reported, in order, with the thread each report ran on.
struct TSenderEvents {
  struct TResponse {
    QString Address;
    int Code = 0;
    QString Body;
    TRestParameters Headers;
  };
  QList<QPair<bool, QString>> Sends;
  QList<TResponse> Responses;
  bool AllOnGuiThread = true;

  void Attach(TRESTSender& sender) {
    sender.SetOnSend([this](bool success, const QString& message) {
      NoteThread();
      Sends.append({success, message});
    });
    sender.SetOnResponseReceived([this](const TRestIOTask& task, int code, const QString& body,
                                        const TRestParameters& headers) {
      NoteThread();
      Responses.append({task.Address, code, body, headers});
    });
  }
  void NoteThread() {
    AllOnGuiThread = AllOnGuiThread && QThread::currentThread() == qApp->thread();
  }
};

class RestSenderTest : public CloudTest {
 protected:
  void SetUp() override {
    CloudTest::SetUp();
    Server = StartHttp();
  }

  std::unique_ptr<TRESTSender> MakeSender(const QString& baseUrl) {
    auto sender = std::make_unique<TRESTSender>(baseUrl);
    Events.Attach(*sender);
    return sender;
  }

  bool WaitForRequests(int count, int timeoutMs = 5000) {
    return WaitUntil([&] { return Server->RequestCount() >= count; }, timeoutMs);
  }
  bool WaitForResponses(int count, int timeoutMs = 5000) {
    return WaitUntil([&] { return Events.Responses.size() >= count; }, timeoutMs);
  }

  std::unique_ptr<TLoopbackHttpServer> Server;
  TSenderEvents Events;
};

TEST_F(RestSenderTest, EveryRequestCarriesTheFixedHeadersAndTheTokenOnceSet) {
  auto sender = MakeSender(Server->BaseUrl());
  sender->WriteImmediately("/first", rmPOST, "{}", {{"X-Extra", "one"}});
  ASSERT_TRUE(WaitForResponses(1));
  EXPECT_EQ(sender->Token(), "");
  sender->SetToken("abc.def");
  EXPECT_EQ(sender->Token(), "OK");
  sender->WriteImmediately("/second", rmPOST, "{}");
  ASSERT_TRUE(WaitForResponses(2));
  sender->SetToken("");
  EXPECT_EQ(sender->Token(), "");
  sender->WriteImmediately("/third", rmPOST, "{}");
  ASSERT_TRUE(WaitForResponses(3));

  const auto& requests = Server->Requests();
  ASSERT_EQ(requests.size(), 3);
  for (const TLoopbackRequest& request : requests) {
    EXPECT_EQ(request.Header("Accept"), "application/json, text/plain; q=0.9, text/html;q=0.8,");
    EXPECT_EQ(request.Header("Accept-Charset"), "utf-8, *;q=0.8");
    EXPECT_EQ(request.Header("Content-Type"), "application/json");
    EXPECT_EQ(request.Header("User-Agent"), "KX52XX-HttpClient/1.0");
    EXPECT_EQ(request.Header("Accept-Encoding"), "identity");
  }
  EXPECT_EQ(requests[0].Header("X-Extra"), "one");
  EXPECT_FALSE(requests[0].HasHeader("Authorization"));
  EXPECT_EQ(requests[1].Header("Authorization"), "Bearer abc.def");
  EXPECT_FALSE(requests[1].HasHeader("X-Extra"));
  EXPECT_FALSE(requests[2].HasHeader("Authorization"));
  EXPECT_TRUE(Events.AllOnGuiThread);
}

// Runs at the shipped one-second pause: records written together leave as one array.
TEST_F(RestSenderTest, ArrayWritesJoinIntoOneWaitingTaskAtTheShippedPause) {
  TRESTSender::SetTimeScale(1.0);
  ASSERT_EQ(TRESTSender::NormalPauseMs(), 1000);
  auto sender = MakeSender(Server->BaseUrl());
  sender->Write("/records", rmPOST, R"({"a": 1})", {}, true);
  sender->Write("/records", rmPOST, R"({"b": 2})", {}, false);
  sender->Write("/records", rmPOST, R"({"c": 3})", {}, true);
  sender->Write("/records", rmPUT, R"({"d": 4})", {}, true);
  sender->Write("/records", rmPOST, R"({"e": 5})", {}, true);
  ASSERT_TRUE(WaitForRequests(3, 10000));

  const auto& requests = Server->Requests();
  EXPECT_EQ(requests[0].Method, "POST");
  EXPECT_EQ(requests[0].Body, "[{\"a\": 1},\r\n{\"c\": 3},\r\n{\"e\": 5}]");
  EXPECT_EQ(requests[1].Body, R"({"b": 2})");
  EXPECT_EQ(requests[2].Method, "PUT");
  EXPECT_EQ(requests[2].Body, R"([{"d": 4}])");
  ProcessEventsFor(200);
  EXPECT_EQ(Server->RequestCount(), 3);
}

TEST_F(RestSenderTest, PriorityWriteOvertakesWaitingNormalOnesWithoutThePause) {
  TRESTSender::SetTimeScale(60.0);  // a normal task would wait a minute
  auto sender = MakeSender(Server->BaseUrl());
  sender->Write("/normal", rmPOST, "{}");
  sender->Write("/normal", rmPOST, "{}");
  sender->WriteImmediately("/urgent", rmPOST, "{}");
  ASSERT_TRUE(WaitForRequests(1));
  EXPECT_EQ(Server->Requests()[0].Path, "/urgent");
  ProcessEventsFor(300);
  EXPECT_EQ(Server->RequestCount(), 1);  // the normal ones still wait their pause
}

struct TAnswerCase {
  const char* Name;
  int Status;
  QByteArray Body;
  QString FormattedBody;
};

void PrintTo(const TAnswerCase& answer, std::ostream* out) { *out << answer.Name; }

class RestSenderAnswerTest : public RestSenderTest,
                             public ::testing::WithParamInterface<TAnswerCase> {};

TEST_P(RestSenderAnswerTest, AnyStatusIsReportedWithTheFormattedBodyAndHeaders) {
  const TAnswerCase& answer = GetParam();
  Server->SetHandler([&](const TLoopbackRequest&) {
    return TLoopbackResponse::Json(answer.Status, answer.Body)
        .WithHeader("X-Request-Id", "42")
        .WithHeader("X-Empty", "")
        .WithHeader("X-Dup", "first")
        .WithHeader("X-Dup", "second");
  });
  auto sender = MakeSender(Server->BaseUrl());
  sender->WriteImmediately("/records", rmPOST, "{}");
  ASSERT_TRUE(WaitForResponses(1));
  ASSERT_EQ(Events.Sends.size(), 1);
  EXPECT_TRUE(Events.Sends[0].first);
  EXPECT_EQ(Events.Sends[0].second, "");
  const auto& response = Events.Responses[0];
  EXPECT_EQ(response.Address, "/records");
  EXPECT_EQ(response.Code, answer.Status);
  EXPECT_EQ(response.Body, answer.FormattedBody);
  EXPECT_EQ(response.Headers.value("X-Request-Id"), "42");
  EXPECT_FALSE(response.Headers.contains("X-Empty"));
  // Qt joins repeated header lines into one value before the sender sees them.
  EXPECT_EQ(response.Headers.value("X-Dup"), "first, second");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RestSenderAnswerTest,
    ::testing::Values(TAnswerCase{"ServerError", 500, R"({"error":"boom","codes":[1,2]})",
                                  "{\n    \"codes\": [\n        1,\n        2\n    ],\n"
                                  "    \"error\": \"boom\"\n}"},
                      TAnswerCase{"NotFound", 404, R"({"missing":true})",
                                  "{\n    \"missing\": true\n}"},
                      TAnswerCase{"Ok", 200, "[]", "[\n]"},
                      TAnswerCase{"LoneValue", 200, "\"text\"", "\"text\""},
                      TAnswerCase{"NotJson", 200, "<html>nope</html>", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TMethodCase {
  TRESTRequestMethod Method;
  QByteArray Verb;
};

class RestSenderMethodTest : public RestSenderTest,
                             public ::testing::WithParamInterface<TMethodCase> {};

TEST_P(RestSenderMethodTest, TheTaskMethodIsTheRequestVerb) {
  auto sender = MakeSender(Server->BaseUrl());
  sender->WriteImmediately("/item", GetParam().Method, R"({"k": 1})");
  ASSERT_TRUE(WaitForRequests(1));
  EXPECT_EQ(Server->Requests()[0].Method, GetParam().Verb);
  EXPECT_EQ(Server->Requests()[0].Body, R"({"k": 1})");
}

INSTANTIATE_TEST_SUITE_P(Methods, RestSenderMethodTest,
                         ::testing::Values(TMethodCase{rmPOST, "POST"}, TMethodCase{rmPUT, "PUT"},
                                           TMethodCase{rmGET, "GET"},
                                           TMethodCase{rmDELETE, "DELETE"},
                                           TMethodCase{rmPATCH, "PATCH"}),
                         [](const auto& info) { return std::string(info.param.Verb); });

TEST_F(RestSenderTest, RedirectsAreFollowed) {
  Server->SetHandler([&](const TLoopbackRequest& request) {
    if (request.Path != "/old") return TLoopbackResponse::Json(200, R"({"at":"new"})");
    TLoopbackResponse moved;
    moved.Status = 302;
    return moved.WithHeader("Location", Server->BaseUrl().toUtf8() + "/new");
  });
  auto sender = MakeSender(Server->BaseUrl());
  sender->WriteImmediately("/old", rmGET, "");
  ASSERT_TRUE(WaitForResponses(1));
  ASSERT_EQ(Server->RequestCount(), 2);
  EXPECT_EQ(Server->Requests()[1].Path, "/new");
  EXPECT_EQ(Events.Responses[0].Code, 200);
  EXPECT_EQ(Events.Responses[0].Body, "{\n    \"at\": \"new\"\n}");
}

TEST_F(RestSenderTest, UnreachableServerIsReportedAsFailedSendAndTheQueueGoesOn) {
  auto closed = StartHttp();
  const QString closedUrl = closed->BaseUrl();
  closed.reset();
  auto sender = MakeSender(closedUrl);
  sender->WriteImmediately("/records", rmPOST, "{}");
  sender->WriteImmediately("/records", rmPOST, "{}");
  ASSERT_TRUE(WaitForResponses(2));
  for (const auto& [success, message] : Events.Sends) {
    EXPECT_FALSE(success);
    EXPECT_FALSE(message.isEmpty());
  }
  EXPECT_EQ(Events.Responses[0].Code, 0);
  EXPECT_EQ(Events.Responses[0].Body, "");
}

// Runs at the shipped 5000 ms request time-out.
TEST_F(RestSenderTest, ASilentServerTimesOutAndTheNextRequestStillGoes) {
  Server->SetHandler([](const TLoopbackRequest& request) {
    TLoopbackResponse response = TLoopbackResponse::Json(200, "{}");
    response.NoAnswer = request.Path == "/silent";
    return response;
  });
  auto sender = MakeSender(Server->BaseUrl());
  sender->WriteImmediately("/silent", rmPOST, "{}");
  sender->WriteImmediately("/next", rmPOST, "{}");
  ASSERT_TRUE(WaitForResponses(2, 3 * RestRequestTimeoutMs));
  EXPECT_FALSE(Events.Sends[0].first);
  EXPECT_FALSE(Events.Sends[0].second.isEmpty());
  EXPECT_TRUE(Events.Sends[1].first);
  EXPECT_EQ(Events.Responses[1].Address, "/next");
}

TEST_F(RestSenderTest, TrustedTestCertificateCarriesTheRequestOverTls) {
  auto secure = StartHttps();
  auto sender = MakeSender(secure->BaseUrl());
  sender->WriteImmediately("/records", rmPOST, R"({"x": 1})");
  ASSERT_TRUE(WaitForResponses(1));
  EXPECT_EQ(Events.Sends[0], qMakePair(true, QString()));
  ASSERT_EQ(secure->RequestCount(), 1);
  EXPECT_EQ(secure->Requests()[0].Body, R"({"x": 1})");
}

TEST_F(RestSenderTest, UntrustedCertificateFailsTheRequest) {
  DistrustTestCertificate();
  auto secure = StartHttps();
  auto sender = MakeSender(secure->BaseUrl());
  sender->WriteImmediately("/records", rmPOST, "{}");
  ASSERT_TRUE(WaitUntil([&] { return !Events.Sends.isEmpty(); }));
  EXPECT_FALSE(Events.Sends[0].first);
  EXPECT_FALSE(Events.Sends[0].second.isEmpty());
  EXPECT_EQ(secure->RequestCount(), 0);
}

TEST_F(RestSenderTest, FreeingWithRequestsQueuedAndOneInFlightEndsPromptly) {
  Server->SetHandler([](const TLoopbackRequest&) {
    TLoopbackResponse silent;
    silent.NoAnswer = true;
    return silent;
  });
  auto sender = MakeSender(Server->BaseUrl());
  sender->WriteImmediately("/held", rmPOST, "{}");
  for (int i = 0; i < 5; ++i) sender->Write("/records", rmPOST, "{}", {}, true);
  sender->WriteImmediately("/later", rmPOST, "{}");
  ASSERT_TRUE(WaitForRequests(1));
  sender.reset();
  ProcessEventsFor(100);
  EXPECT_TRUE(Events.Sends.isEmpty());
  EXPECT_TRUE(Events.Responses.isEmpty());
  EXPECT_EQ(Server->RequestCount(), 1);
}

TEST_F(RestSenderTest, AHandlerMayFreeItsOwnSender) {
  auto sender = std::make_unique<TRESTSender>(Server->BaseUrl());
  int sends = 0;
  sender->SetOnSend([&](bool, const QString&) {
    ++sends;
    sender.reset();
  });
  sender->WriteImmediately("/one", rmPOST, "{}");
  sender->WriteImmediately("/two", rmPOST, "{}");
  ASSERT_TRUE(WaitUntil([&] { return sender == nullptr; }));
  ProcessEventsFor(100);
  EXPECT_EQ(sends, 1);
}

TEST(RestProxySettings, AnEmptyServerClearsEveryValue) {
  const TProxySettings full("proxy.local", 3128, "user", "secret");
  EXPECT_EQ(full.ProxyPort, 3128);
  EXPECT_EQ(full.ProxyUserName, "user");
  const TProxySettings noServer("", 3128, "user", "secret");
  EXPECT_EQ(noServer.ProxyPort, 0);
  EXPECT_TRUE(noServer.ProxyUserName.isEmpty());
  TProxySettings assigned = full;
  assigned.Assign(noServer);
  EXPECT_TRUE(assigned.ProxyPassword.isEmpty());
  EXPECT_EQ(assigned.ProxyPort, 0);
}

TEST(RestIOTask, AppendJoinsWithCommaAndLineBreakAndArraysGoInBrackets) {
  TRestIOTask task("/records", rmPOST, "1", {}, true, false);
  task.Append("2");
  EXPECT_EQ(task.Body, "1,\r\n2");
  EXPECT_EQ(task.WireBody(), "[1,\r\n2]");
  task.IsArray = false;
  EXPECT_EQ(task.WireBody(), "1,\r\n2");
}

}  // namespace
