#include <gtest/gtest.h>

#include <set>

#include "KX52xx.Sim.Scenario.h"
#include "SimTestSupport.h"

namespace {

constexpr double kFast = 0.01;  // a 15 s seal-check cycle in 150 ms

struct TScenarioCase {
  KX52xxSimModel Model;
  KX52xxSimScenarioKind Kind;
  std::set<int> Expected;   // kinds seen within the first cycles
  std::set<int> Forbidden;  // kinds that must not come
};

class ScenarioTest : public ::testing::TestWithParam<TScenarioCase> {};

TEST_P(ScenarioTest, RaisesTheNotificationsOfItsKind) {
  const TScenarioCase& scenarioCase = GetParam();
  KX52xxSimConfig config;
  config.Model = scenarioCase.Model;
  config.HistoryCount = 0;
  KX52xxSimDevice device(config);
  std::set<int> seen;
  std::vector<QByteArray> results;
  device.OnNotify = [&](const KX52xxSimMessage& message) {
    EXPECT_EQ(message.Code, 255);
    const int kind = SimTest::U8(message.Payload, 0);
    seen.insert(kind);
    if (kind == 18 || kind == 19) results.push_back(message.Payload);
  };
  KX52xxSimScenario scenario(device, scenarioCase.Kind, kFast);
  scenario.Start();
  const auto allSeen = [&] {
    for (int kind : scenarioCase.Expected)
      if (!seen.count(kind)) return false;
    return true;
  };
  EXPECT_TRUE(WaitUntil(allSeen, 5000));
  ProcessEventsFor(scenarioCase.Expected.empty() ? 400 : 50);
  scenario.Stop();
  for (int kind : scenarioCase.Forbidden) EXPECT_EQ(seen.count(kind), 0u) << kind;
  for (const QByteArray& result : results) EXPECT_EQ(result.size(), 15);
}

const std::set<int> kHazards = {32, 33, 34, 35, 36, 37, 38, 39, 48, 49, 50, 51};
const std::set<int> kSealChecks = {17, 18, 19};

INSTANTIATE_TEST_SUITE_P(
    Sim, ScenarioTest,
    ::testing::Values(
        TScenarioCase{
            KX52xxSimModel::KX5210, KX52xxSimScenarioKind::Idle, {}, {17, 18, 19, 20, 21, 80, 84}},
        TScenarioCase{KX52xxSimModel::KX5210,
                      KX52xxSimScenarioKind::SealCheckPass,
                      {84, 17, 88, 18, 85, 80},
                      {19, 81}},
        TScenarioCase{KX52xxSimModel::KX5211,
                      KX52xxSimScenarioKind::SealCheckFail,
                      {84, 17, 88, 19, 81, 80},
                      {18, 85}},
        TScenarioCase{KX52xxSimModel::KX5210,
                      KX52xxSimScenarioKind::Breathing,
                      {89, 20, 90, 21},
                      kSealChecks},
        TScenarioCase{KX52xxSimModel::KX5220, KX52xxSimScenarioKind::Alerts, kHazards, kSealChecks},
        TScenarioCase{KX52xxSimModel::KX5211, KX52xxSimScenarioKind::Alerts, {20, 21}, kHazards}),
    [](const auto& info) {
      QString name = ModelName(info.param.Model) + "_" + ScenarioName(info.param.Kind);
      return name.replace('-', '_').toStdString();
    });

TEST(ScenarioNames, ParseBackInAnyCase) {
  for (KX52xxSimScenarioKind kind :
       {KX52xxSimScenarioKind::Idle, KX52xxSimScenarioKind::Breathing,
        KX52xxSimScenarioKind::SealCheckPass, KX52xxSimScenarioKind::SealCheckFail,
        KX52xxSimScenarioKind::Alerts})
    EXPECT_EQ(ParseScenario(ScenarioName(kind).toUpper()), kind);
  EXPECT_FALSE(ParseScenario(QStringLiteral("storm")).has_value());
  EXPECT_EQ(ParseModel(QStringLiteral("kx5220")), KX52xxSimModel::KX5220);
  EXPECT_FALSE(ParseModel(QStringLiteral("KX5230")).has_value());
}

// Each result goes into the history, so a device that ran for a while has more to report.
TEST(ScenarioHistory, SealChecksAreStored) {
  KX52xxSimConfig config;
  config.HistoryCount = 2;
  KX52xxSimDevice device(config);
  KX52xxSimScenario scenario(device, KX52xxSimScenarioKind::SealCheckPass, kFast);
  scenario.Start();
  EXPECT_TRUE(WaitUntil([&] { return device.History().size() >= 4; }, 5000));
  scenario.Stop();
  EXPECT_EQ(device.History().back().Kind, 18);
}

}  // namespace
