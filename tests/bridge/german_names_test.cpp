// The bridge in German: Home Assistant shows its entities under German names, and a refused
// option says why in German.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "bridge/bridge_config.h"
#include "bridge/documents.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

class GermanBridge : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseLanguage("de"); }
  static void TearDownTestSuite() { UseLanguage("en"); }
};

TEST_F(GermanBridge, HomeAssistantEntitiesHaveGermanNames) {
  ControllerSnapshot snapshot;
  snapshot.name = "keller";
  std::set<std::string> names;
  std::string model;
  for (const Publication& config : DiscoveryConfigs(snapshot)) {
    const nlohmann::json payload = nlohmann::json::parse(config.payload);
    names.insert(payload["name"].get<std::string>());
    model = payload["device"]["model"].get<std::string>();
  }
  for (const char* name : {"Füllstand", "Druck", "Temperatur", "Pumpenleistung",
                           "Anstehende Fehler", "Pumpe läuft", "Fehler steht an"}) {
    EXPECT_EQ(names.count(name), 1u) << name;
  }
  EXPECT_EQ(model, "VEL Pumpensteuerung");
}

TEST_F(GermanBridge, RefusedOptionIsExplainedInGerman) {
  RawOptions raw;
  raw.tcp = "controller";
  std::string error;
  EXPECT_FALSE(MakeConfig(raw, error));
  EXPECT_EQ(error, "--tcp: erwartet HOST:PORT mit einem dezimalen Port 1..65535, nicht "
                   "\"controller\"");
}

}  // namespace
}  // namespace velta::bridge
