#include "json_output.h"

#include "editors/settings_report.h"
#include "files/system.h"

namespace kxp40s::cli {

namespace {

nlohmann::json valueJson(const std::optional<std::string>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json();
}

}  // namespace

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
    return answer.board ? "board" : answer.busy ? "busy" : "-";
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
