// molvanectl --json: each command's document, read with Python's json module, carries the values
// of the lines the command prints without it; a failure is one error document with the exit code
// the failure has without --json.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "cli/ctl_process.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CartsimProcess;
using cli_testing::CtlRun;
using cli_testing::Lines;
using cli_testing::RunCtl;
using testing_support::TempDir;
using testing_support::WriteFile;

// Python's json.load takes exactly one document (trailing text is an error); the scalars come
// out as "path=value" lines: "pins.0.pin=1234", "lifting=false", "drawer_layout=null".
constexpr const char* kFlatten = R"(import json, sys
def walk(path, value):
    if isinstance(value, dict):
        for key, item in value.items(): walk(path + [key], item)
    elif isinstance(value, list):
        for index, item in enumerate(value): walk(path + [str(index)], item)
    else:
        print(".".join(path) + "=" + (value if isinstance(value, str) else json.dumps(value)))
with open(sys.argv[1], encoding="utf-8") as f:
    walk([], json.load(f))
)";

using Document = std::map<std::string, std::string>;

// Empty when Python does not read the text as one JSON document.
Document ReadJson(const TempDir& dir, const std::string& text) {
  WriteFile(dir.File("flatten.py"), kFlatten);
  WriteFile(dir.File("document.json"), text);
  const std::string command = "python3 " + dir.File("flatten.py") + " " + dir.File("document.json");
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string out;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, got);
  if (::pclose(pipe) != 0) return {};
  Document document;
  for (const std::string& line : Lines(out))
    document[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  return document;
}

// "Label: value" lines as label -> value.
std::map<std::string, std::string> Labelled(const std::string& text) {
  std::map<std::string, std::string> values;
  for (const std::string& line : Lines(text)) {
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos) values[line.substr(0, colon)] = line.substr(colon + 2);
  }
  return values;
}

std::string LowerFirstWord(const std::string& text) {
  std::string word = text.substr(0, text.find(' '));
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return word;
}

std::string Hex(const std::string& number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(std::stoul(number)));
  return text;
}

// "2026-10-21T09:05:00" as the log's lines show it: "9:05 10/21/2026".
std::string LogStamp(const std::string& iso) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::sscanf(iso.c_str(), "%d-%d-%dT%d:%d:%d", &year, &month, &day, &hour, &minute, &second);
  char text[40];
  std::snprintf(text, sizeof text, "%d:%02d %d/%02d/%d", hour, minute, month, day, year);
  return text;
}

cartsim::SimCart::Options DcCart() {
  cartsim::SimCart::Options options;
  options.cart.powerSupply = cartsim::CartModel::PowerSupply::DC;
  return options;
}

struct CtlJson : ::testing::Test {
  testing_support::SimFixture sim{DcCart()};

  // The command's lines and its document; both runs must succeed.
  std::pair<CtlRun, Document> Both(std::vector<std::string> arguments,
                                   const std::map<std::string, std::string>& environment = {}) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    const CtlRun text = RunCtl(arguments, sim.dir.Path(), environment);
    arguments.push_back("--json");
    const CtlRun json = RunCtl(arguments, sim.dir.Path(), environment);
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(json.exitCode, 0) << json.err;
    const Document document = ReadJson(sim.dir, json.out);
    EXPECT_FALSE(document.empty()) << json.out;
    return {text, document};
  }
};

TEST_F(CtlJson, EachDocumentCarriesTheValuesOfTheLines) {
  ASSERT_TRUE(sim.started);
  sim.Cart([](cartsim::CartModel& cart) {
    cart.SetStatusByte(0x41);  // keyboard lamp on, and a bit nobody decodes
    cart.SetSensorInputs(0x81);
    cartsim::CartSettings& s = cart.Settings();
    s.liftLocked = 0;
    s.liftUpCurrentTenths = 25;
    s.liftMinVoltsTenths = 236;
    s.sensorMask = 0x8F;
    s.cartType = 170;
    s.name = "Ward 7";
    return 0;
  });

  auto [status, statusDoc] = Both({"status"});
  EXPECT_EQ(Lines(status.out), std::vector<std::string>{statusDoc["status"]});
  EXPECT_EQ(statusDoc["keyboard_lamp_on"], "true");
  EXPECT_EQ(statusDoc["drawer_unlocked"], "false");

  auto [info, doc] = Both({"info"});
  auto lines = Labelled(info.out);
  for (const auto& [label, key, unit] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"Cart name", "cart_name", ""},
           {"Serial number", "serial_number", ""},
           {"Firmware version 1", "firmware_versions.0", ""},
           {"Firmware version 4", "firmware_versions.3", ""},
           {"Hardware version 2", "hardware_versions.1", ""},
           {"Keyboard light timeout", "keyboard_light_timeout_s", " s"},
           {"LCD backlight timeout", "lcd_backlight_timeout_s", " s"},
           {"Drawer lock-down timeout", "drawer_lock_down_timeout_s", " s"},
           {"Main lock activation", "main_lock_activation_ms", " ms"},
           {"Side lock activation", "side_lock_activation_ms", " ms"}}) {
    EXPECT_EQ(lines[label], doc[key] + unit) << label;
  }
  EXPECT_EQ(doc["cart_name"], "Ward 7");
  EXPECT_EQ(LowerFirstWord(lines["Lock type"]), doc["lock_type"]);
  EXPECT_EQ(LowerFirstWord(lines["Power supply"]), doc["power_supply"]);
  EXPECT_EQ(doc["lock_type"] + doc["power_supply"], "solenoiddc");

  auto [calib, calibDoc] = Both({"calib"});
  lines = Labelled(calib.out);
  auto onOff = [&](const std::string& key) { return calibDoc[key] == "true" ? "on" : "off"; };
  EXPECT_EQ(lines["Lift lock"], onOff("lift_locked"));
  EXPECT_EQ(lines["Auto lock"], onOff("auto_lock"));
  EXPECT_EQ(lines["Sensors"], calibDoc["sensors_running"] == "true" ? "Running" : "Disabled");
  EXPECT_EQ(lines["Sensor bits"], Hex(calibDoc["sensor_bits"]) + " (set: 0 7)");
  EXPECT_EQ(lines["Max up current"], calibDoc["max_up_current_a"] + " A");
  EXPECT_EQ(lines["Max down current"], calibDoc["max_down_current_a"] + " A");
  EXPECT_EQ(lines["Min battery voltage"], calibDoc["min_battery_voltage_v"] + " V");
  EXPECT_EQ(lines["Auto-lock timeout"], calibDoc["auto_lock_timeout_s"] + " s");
  EXPECT_EQ(lines["Drawer code"], Hex(calibDoc["drawer_code"]));
  EXPECT_EQ(lines["Drawer layout"].rfind(calibDoc["drawer_layout"] + " (", 0), 0u);
  EXPECT_EQ(calibDoc["max_up_current_a"] + " " + calibDoc["drawer_layout"], "2.5 4/1111");

  auto [pins, pinsDoc] = Both({"pins", "list"});
  const std::vector<std::string> pinLines = Lines(pins.out);
  ASSERT_GE(pinLines.size(), 2u);
  EXPECT_EQ(pinsDoc.count("pins." + std::to_string(pinLines.size()) + ".pin"), 0u);
  for (std::size_t i = 0; i < pinLines.size(); ++i) {
    const std::string at = "pins." + std::to_string(i);
    EXPECT_EQ(pinLines[i], pinsDoc[at + ".pin"] + "\t" + pinsDoc[at + ".age_days"] + " days");
  }

  auto [log, logDoc] = Both({"log", "list"});
  const std::vector<std::string> logLines = Lines(log.out);
  ASSERT_GE(logLines.size(), 2u);
  EXPECT_EQ(logDoc.count("events." + std::to_string(logLines.size()) + ".time"), 0u);
  for (std::size_t i = 0; i < logLines.size(); ++i) {
    const std::string at = "events." + std::to_string(i);
    EXPECT_EQ(logLines[i], LogStamp(logDoc[at + ".time"]) + "  " + logDoc[at + ".action"]);
  }
}

TEST_F(CtlJson, PortsNamesWhatAnsweredOnEach) {
  ASSERT_TRUE(sim.started);
  const std::string missing = sim.dir.File("gone");
  auto [ports, doc] = Both({"ports"}, {{"MOLVANE_PORTS", sim.link.DevicePath() + ":" + missing}});
  const std::vector<std::string> lines = Lines(ports.out);
  ASSERT_EQ(lines.size(), 2u) << ports.out;
  EXPECT_EQ(lines[0], doc["ports.0.message"]);
  EXPECT_EQ(lines[1], doc["ports.1.message"]);
  EXPECT_EQ(doc["ports.0.port"] + " " + doc["ports.0.answer"], sim.link.DevicePath() + " cart");
  EXPECT_EQ(doc["ports.1.port"] + " " + doc["ports.1.answer"], missing + " missing");
}

TEST(CtlJsonErrors, AFailureIsOneErrorDocumentWithTheSameExitCode) {
  TempDir dir;
  // Answers the probe, then nothing more: the failure comes after the command has begun.
  CartsimProcess silentForText({"--silent-after", "1"}, dir.Path());
  CartsimProcess silentForJson({"--silent-after", "1"}, dir.Path());
  ASSERT_TRUE(silentForText.Started() && silentForJson.Started());
  const std::string missing = dir.File("no-such-tty");
  const std::vector<std::vector<std::string>> failing[] = {
      {{"--port", missing, "info"}, {"--port", missing, "info"}},
      {{"set-cart-type", "hydraulic"}, {"set-cart-type", "hydraulic"}},
      {{"--port", silentForText.DevicePath(), "pins", "list"},
       {"--port", silentForJson.DevicePath(), "pins", "list"}}};
  for (const auto& runs : failing) {
    const CtlRun text = RunCtl(runs[0], dir.Path());
    std::vector<std::string> withJson = runs[1];
    withJson.push_back("--json");
    const CtlRun json = RunCtl(withJson, dir.Path());
    ASSERT_FALSE(Lines(text.err).empty()) << runs[0].back();
    EXPECT_NE(text.exitCode, 0) << runs[0].back();
    EXPECT_EQ(json.exitCode, text.exitCode) << runs[0].back();
    EXPECT_EQ(ReadJson(dir, json.out), (Document{{"error", Lines(text.err)[0]}})) << json.out;
  }

  // A command without JSON output says so instead of running and printing lines.
  const CtlRun lockBits = RunCtl({"--port", missing, "lockbits", "--json"}, dir.Path());
  EXPECT_EQ(lockBits.exitCode, 1);
  EXPECT_NE(ReadJson(dir, lockBits.out)["error"].find("'lockbits' has no JSON output"),
            std::string::npos)
      << lockBits.out;
}

}  // namespace
