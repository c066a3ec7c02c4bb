#include "json_output.h"

#include <map>

#include "editors/settings_report.h"
#include "files/system.h"
#include "transfer/series_log.h"

namespace kxp40s::cli {

namespace {

nlohmann::json valueJson(const std::optional<std::string>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json();
}

// Capcodes 1 to 8 and their ON boxes, as `show` prints them.
nlohmann::json capcodesJson(const Session& s) {
    std::map<std::string, std::optional<std::string>, std::less<>> shown;
    for (const ShownSetting& setting : describeSettings(s))
        shown[setting.def->key] = setting.value;
    nlohmann::json capcodes = nlohmann::json::array();
    for (int number = 1; number <= 8; ++number) {
        const std::string key = "capcode" + std::to_string(number);
        capcodes.push_back({{"number", number},
                            {"capcode", valueJson(shown[key])},
                            {"on", shown[key + ".on"] == "1"}});
    }
    return capcodes;
}

nlohmann::json pagersJson(const std::vector<SeriesPager>& pagers) {
    nlohmann::json list = nlohmann::json::array();
    for (const SeriesPager& pager : pagers) {
        list.push_back({{"number", pager.number},
                        {"capcode1", pager.capcode1},
                        {"capcode2", pager.capcode2},
                        {"result", seriesResultText(pager)}});
    }
    return list;
}

}  // namespace

nlohmann::json transferJson(const TransferOutcome& outcome) {
    nlohmann::json backups = nlohmann::json::array();
    for (const auto& file : outcome.backups)
        backups.push_back(utf8Text(file));
    nlohmann::json json = {
        {"outcome", outcome.outcome},
        {"message", outcome.message},
        {"file", outcome.file},
        {"port", outcome.port.empty() ? nlohmann::json() : nlohmann::json(outcome.port)},
        {"backups", backups}};
    if (outcome.pagers)
        json["pagers"] = pagersJson(*outcome.pagers);
    else
        json["capcodes"] = outcome.session ? capcodesJson(*outcome.session) : nlohmann::json();
    return json;
}

nlohmann::json settingsJson(const Session& s) {
    nlohmann::json settings = nlohmann::json::object();
    nlohmann::json readouts = nlohmann::json::object();
    for (const ShownSetting& setting : describeSettings(s))
        (setting.def->readOnly ? readouts : settings)[setting.def->key] = valueJson(setting.value);
    return {
        {"identity", identityText(s.ConfigImage)}, {"settings", settings}, {"readouts", readouts}};
}

nlohmann::json diffJson(const ImageDiff& diff) {
    nlohmann::json settings = nlohmann::json::array();
    for (const auto& [a, b] : diff.settings) {
        settings.push_back({{"key", a.def->key},
                            {"caption", a.def->caption},
                            {"a", valueJson(a.value)},
                            {"b", valueJson(b.value)}});
    }
    nlohmann::json bytes = nlohmann::json::array();
    for (const auto& run : diff.bytes) {
        bytes.push_back(
            {{"from", run.from}, {"to", run.to}, {"a", hexBytes(run.a)}, {"b", hexBytes(run.b)}});
    }
    return {{"identical", diff.empty()}, {"settings", settings}, {"bytes", bytes}};
}

std::string portState(const PortAnswer& answer) {
    if (answer.board) return "board";
    if (answer.busy) return "busy";
    return answer.denied ? "denied" : "-";
}

nlohmann::json portsJson(const std::vector<PortAnswer>& answers) {
    nlohmann::json ports = nlohmann::json::array();
    nlohmann::json board;
    for (const PortAnswer& answer : answers) {
        ports.push_back({{"port", answer.port}, {"state", portState(answer)}});
        if (answer.board && board.is_null()) board = answer.port;
    }
    return {{"ports", ports}, {"board", board}};
}

nlohmann::json backupsJson(const std::filesystem::path& folder,
                           const std::vector<BackupEntry>& entries) {
    nlohmann::json list = nlohmann::json::array();
    int number = 1;
    for (const BackupEntry& entry : entries) {
        list.push_back({{"number", number++},
                        {"time", entry.time},
                        {"kind", entry.kind},
                        {"capcode1", entry.capcode1 ? nlohmann::json(*entry.capcode1) : nullptr},
                        {"file", utf8Text(entry.file)}});
    }
    return {{"folder", utf8Text(folder)}, {"backups", list}};
}

}  // namespace kxp40s::cli
