#include "image/default_tables.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "image/text.h"

namespace kxp40s {

namespace {

// One prompt record as the tables list it: byte 0, the character count, the
// text, and characters that stand after the text but are never shown (left
// over in the pager's own tables). The rest of the 20 bytes is spaces.
struct PromptDef {
    std::uint8_t byte0;
    std::uint8_t length;
    std::string_view text;  // UTF-8 in this source, stored as Windows-1252
    std::string_view trailing = {};
};

PromptRecord makeRecord(const PromptDef& def) {
    PromptRecord record;
    record.fill(' ');
    record[0] = def.byte0;
    record[1] = def.length;
    const auto text = utf8ToWindows1252(def.text);
    const auto trailing = utf8ToWindows1252(def.trailing);
    if (!text || !trailing || text->size() != def.length || text->size() + trailing->size() > 18) {
        throw std::logic_error("bad default prompt record");
    }
    const std::string chars = *text + *trailing;
    std::copy(chars.begin(), chars.end(), record.begin() + 2);
    return record;
}

template <std::size_t N>
void putRecords(std::array<std::uint8_t, N>& table, std::initializer_list<PromptDef> defs) {
    if (defs.size() * kPromptRecordSize != N) throw std::logic_error("bad prompt table size");
    auto out = table.begin();
    for (const auto& def : defs) {
        const PromptRecord record = makeRecord(def);
        out = std::copy(record.begin(), record.end(), out);
    }
}

// Writes hexadecimal byte pairs ("FF 00 ...") into `table` from `offset`.
template <std::size_t N>
void putHex(std::array<std::uint8_t, N>& table, std::size_t offset, std::string_view hex) {
    for (std::size_t i = 0; i < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        table.at(offset++) =
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
        i += 2;
    }
}

void buildFlashOnly(DefaultTables& t) {
    t.FlashOnlyEnglish = makeRecord({0x43, 10, "FLASH ONLY"});
    t.FlashOnlySpanish = t.FlashOnlyEnglish;
    t.FlashOnlyFrench = t.FlashOnlyEnglish;
    t.FlashOnlyGerman = makeRecord({0x43, 11, "Nur Blinken"});
}

// &H0B4-&H0FF carry pager data the program does not interpret: left 0.
void buildBlock0(DefaultTables& t) {
    putHex(t.DefaultBlock0, 0x00, "FF FF FF FF 00 00 B4 A0 00 00 28 01 00 02 05 0A");
    putHex(t.DefaultBlock0, 0x10, "0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 0A 3C 3C");
    putHex(t.DefaultBlock0, 0x20, "3C 3C 3C 3C 3C 3C 3C 3C 3C 3C 3C 3C 5A 96 11 FF");
    putHex(t.DefaultBlock0, 0x30, "FF FF 00 00 00 00 06 00 00 41 42 0E 40 0C 52 00");
    putHex(t.DefaultBlock0, 0x40, "61 1E 5A D0 60 22 5A D0 60 46 5A D0 60 6A 5A D0");
    putHex(t.DefaultBlock0, 0x50, "60 8E 5A D0 60 B2 5A D0 60 D6 5A D0 60 FA 5A D0");
    putHex(t.DefaultBlock0, 0x60, "40 2A 41 A9 00 14 E7 90 00 17 58 90 78 12 F7 A2");
    putHex(t.DefaultBlock0, 0x70, "41 49 52 50 52 4F 47 F0 07 08 09 0A 0B 0C 0D 01");
    putHex(t.DefaultBlock0, 0x80, "21 10 16 1C 21 24 27 2A 2C 04 A3 22 16 B1 C0 CF");
    putHex(t.DefaultBlock0, 0x90, "08");
    const PromptRecord& flash = t.FlashOnlyEnglish;
    std::copy(flash.begin(), flash.end(), t.DefaultBlock0.begin() + 0xA0);
}

// Offsets are from &H36C. The password bytes (&H3B0-&H3B3) and &H3EF-&H3FF
// are 0; the history prompts and the model and version texts are in the dump.
void buildBlock876(DefaultTables& t) {
    auto& b = t.DefaultBlock876;
    putHex(b, 0x00, "79 C6 3E 05");
    std::fill(b.begin() + (0x390 - 0x36C), b.begin() + (0x3B0 - 0x36C), 2);
    putHex(b, 0x3B4 - 0x36C, "E7 F5 B1 B2 46 0B 53 45");
    putHex(b, 0x3BC - 0x36C, "54 20 48 49 53 54 4F 52 59 20 20 20 20 20 20 20");
    putHex(b, 0x3CC - 0x36C, "24 0B 48 49 53 54 4F 52 59 20 53 45 54 20 20 20");
    putHex(b, 0x3DC - 0x36C, "20 20 20 20 0C 4B 58 50 34 30 56 31 2E 30 56 35");
    putHex(b, 0x3EC - 0x36C, "2E 31 32");
}

void buildHistoryPrompts(DefaultTables& t) {
    putRecords(t.HistoryPromptsFrench,
               {{0x45, 10, "HISTORIQUE", "Y"}, {0x25, 10, "HISTORIQUE", "T"}});
    putRecords(t.HistoryPromptsGerman,
               {{0x43, 14, "Verlauf einst."}, {0x25, 14, "Verlauf einst."}});
}

void buildBlock1024(DefaultTables& t) {
    auto& b = t.DefaultBlock1024;
    b.fill(0xFF);
    // The "CHARGING" record keeps &HFF after its text, as the pager has it.
    putHex(b, 0x428 - 0x400, "27 08 43 48 41 52 47 49 4E 47");
    putHex(b, 0x520 - 0x400, "96 FF FF FF FF FF FF 2D 05 B4 D3 02 FF 03 30 01");
    putHex(b, 0x530 - 0x400, "00 B1");
    const std::string name = "   KAVION   ";
    std::copy(name.begin(), name.end(), b.begin() + (0x532 - 0x400));
    putHex(b, 0x53E - 0x400, "2B 00");
}

void buildBlock1344(DefaultTables& t) {
    auto& b = t.DefaultBlock1344;
    for (int n = 1; n <= 32; ++n) {
        const std::string text = "NEWS " + std::to_string(n);
        const PromptRecord record = makeRecord({5, static_cast<std::uint8_t>(text.size()), text});
        std::copy(record.begin(), record.end(), b.begin() + (n - 1) * kPromptRecordSize);
    }
    putHex(b, 0x7E0 - 0x540, "01 01 01 01 00 FF FF 01 01 01 01 01 FF FF FF FF");
    putHex(b, 0x7F0 - 0x540, "01 01 01 01 01 01 01 01 08 14 0E 0D CC FF FF FF");
}

void buildEnglishPrompts(DefaultTables& t) {
    putRecords(
        t.DefaultPromptsEnglish,
        {{0x05, 8, "KAVION  "},      {0x06, 8, "NO PAGES"},        {0x49, 6, "ESCAPE"},
         {0x45, 12, "MESSAGE LOCK"}, {0x44, 14, "MESSAGE UNLOCK"}, {0x44, 14, "MESSAGE DELETE"},
         {0x46, 10, "DELETE ALL"},   {0x45, 12, "MOVE TO MEMO"},   {0x46, 10, "SET SCROLL"},
         {0x47, 8, "SET TIME"},      {0x46, 9, "SET ALARM"},       {0x46, 9, "SET ALERT"},
         {0x46, 9, "PAGER OFF"},     {0x00, 9, "TONE ONLY"},       {0x43, 5, "SLEEP"},
         {0x43, 6, "SILENT"},        {0x45, 11, "PAGER OFF ?"},    {0x44, 16, "MESSAGE DELETE ?"},
         {0x46, 12, "DELETE ALL ?"}, {0x22, 8, "TIME SET"},        {0x22, 9, "ALARM SET"},
         {0x22, 10, "SCROLL SET"},   {0x44, 14, "AUTO SLEEP SET"}, {0x27, 12, "START    END"},
         {0x46, 12, "MESSAGE AREA"}, {0x45, 14, "MAIL DROP AREA"}, {0x43, 16, "SILENT THEN BEEP"},
         {0x48, 7, "ZOOM IN"},       {0x47, 8, "ZOOM OUT"},        {0x47, 8, "CHIRP ON"},
         {0x46, 9, "CHIRP OFF"}});
}

void buildSpanishPrompts(DefaultTables& t) {
    putRecords(t.PromptsSpanish, {{0x05, 6, "KAVION"},
                                  {0x05, 11, "SIN MESAJES"},
                                  {0x42, 17, "ARRIBA PARA SALIR"},
                                  {0x42, 16, "BLOQUEAR MENSAJE"},
                                  {0x42, 16, "DESBLOQ. MENSAJE"},
                                  {0x47, 6, "BORRAR"},
                                  {0x44, 12, "BORRAR TODOS"},
                                  {0x44, 12, "MOVER A MEMO", "BRETA"},
                                  {0x42, 16, "ROLLO DE MENSAJE"},
                                  {0x44, 12, "AJUSTAR HORA"},
                                  {0x43, 14, "AJUSTAR ALARMA"},
                                  {0x42, 17, "ALERTA SILENCIOSA"},
                                  {0x47, 6, "APAGAR"},
                                  {0x06, 9, "SOLO TONO"},
                                  {0x44, 7, "DORMIDA"},
                                  {0x44, 10, "SILENCIOSA"},
                                  {0x46, 8, "APAGAR ?"},
                                  {0x46, 8, "BORRAR ?"},
                                  {0x44, 12, "BORRAR TODOS", " ?"},
                                  {0x04, 12, "AJUSTAR HORA"},
                                  {0x03, 14, "AJUSTAR ALARMA"},
                                  {0x02, 16, "ROLLO DE MENSAJE"},
                                  {0x44, 12, "AUTO DORMIDA"},
                                  {0x04, 11, "ON      OFF"},
                                  {0x44, 12, "MENSAJE AREA"},
                                  {0x43, 14, "MAIL DROP AREA"},
                                  {0x44, 11, "SILEN.-TONO"},
                                  {0x47, 7, "ZOOM IN"},
                                  {0x46, 8, "ZOOM OUT"},
                                  {0x46, 9, "TIMBRE ON"},
                                  {0x45, 10, "TIMBRE OFF"}});
}

void buildFrenchPrompts(DefaultTables& t) {
    putRecords(t.PromptsFrench, {{0x05, 6, "KAVION"},
                                 {0x03, 14, "PAS DE MESSAGE"},
                                 {0x42, 16, "MONTER OU SORTIR", "R"},
                                 {0x44, 12, "VERROUILLAGE", "SAJE"},
                                 {0x43, 14, "DEVERROUILLAGE", "JE"},
                                 {0x45, 10, "EFFACEMENT"},
                                 {0x44, 12, "EFFACER TOUT"},
                                 {0x44, 13, "DEP > MEMOIRE", "RETA"},
                                 {0x43, 14, "Reg.DEFILEMENT", "JE"},
                                 {0x46, 9, "Reg.HEURE", "ERA"},
                                 {0x45, 10, "Reg.ALARME", "ARMA"},
                                 {0x45, 10, "Reg.ALERTE", "ENCIOSA"},
                                 {0x45, 11, "ARRET PAGER"},
                                 {0x05, 14, "TON UNIQUEMENT"},
                                 {0x44, 14, "MISE EN VEILLE"},
                                 {0x44, 10, "SILENCIEUX"},
                                 {0x44, 13, "ARRET PAGER ?"},
                                 {0x44, 12, "EFFACEMENT ?"},
                                 {0x43, 14, "EFFACER TOUT ?"},
                                 {0x06, 9, "Reg.HEURE", "ORA"},
                                 {0x05, 10, "Reg.ALARME", "ARMA"},
                                 {0x03, 14, "Reg.DEFILEMENT", "JE"},
                                 {0x45, 10, "REG.VEILLE", "DA"},
                                 {0x04, 11, "DEPART  FIN"},
                                 {0x42, 16, "ZONE DE MESSAGES"},
                                 {0x41, 18, "ZONE BOITE LETTRES"},
                                 {0x43, 18, "SILENCIEUX ET BEEP"},
                                 {0x46, 6, "LOUPE+", "UI"},
                                 {0x46, 6, "LOUPE-", "ON"},
                                 {0x42, 17, "AVEC MODE DISCRET"},
                                 {0x42, 17, "SANS MODE DISCRET"}});
}

void buildGermanPrompts(DefaultTables& t) {
    putRecords(t.PromptsGerman, {{0x05, 8, "KAVION  "},
                                 {0x03, 15, "Keine Nachricht"},
                                 {0x45, 11, "Menü/zurück"},
                                 {0x42, 17, "Nachricht sichern"},
                                 {0x42, 16, "Nachr. freigeben"},
                                 {0x42, 17, "Nachricht löschen"},
                                 {0x44, 12, "Alle löschen"},
                                 {0x42, 17, "Als Notiz sichern"},
                                 {0x45, 10, "Scrollrate"},
                                 {0x45, 11, "Uhr stellen"},
                                 {0x43, 14, "Wecker stellen"},
                                 {0x43, 15, "Alarmart wählen"},
                                 {0x46, 9, "Pager aus"},
                                 {0x00, 7, "Nur Ton", "LY"},
                                 {0x43, 13, "Stiller Alarm"},
                                 {0x43, 9, "Vibration"},
                                 {0x45, 11, "Pager aus ?"},
                                 {0x46, 9, "Löschen ?", "ELETE ?"},
                                 {0x43, 14, "Alle löschen ?"},
                                 {0x25, 11, "Uhr stellen"},
                                 {0x23, 14, "Wecker stellen"},
                                 {0x25, 10, "Scrollrate"},
                                 {0x42, 16, "Automat. Aussch."},
                                 {0x27, 13, "Start    Ende"},
                                 {0x43, 14, "Private Nachr."},
                                 {0x43, 15, "Öffentl. Nachr."},
                                 {0x43, 15, "Vibr., dann Ton", "P"},
                                 {0x45, 10, "Vergrößern"},
                                 {0x45, 11, "Verkleinern"},
                                 {0x44, 13, "Kurz-Piep ein"},
                                 {0x44, 13, "Kurz-Piep aus"}});
}

DefaultTables buildDefaultTables() {
    DefaultTables t;
    buildFlashOnly(t);
    buildBlock0(t);
    buildBlock876(t);
    buildHistoryPrompts(t);
    buildBlock1024(t);
    buildBlock1344(t);
    buildEnglishPrompts(t);
    buildSpanishPrompts(t);
    buildFrenchPrompts(t);
    buildGermanPrompts(t);
    return t;
}

}  // namespace

const DefaultTables& defaultTables() {
    static const DefaultTables tables = buildDefaultTables();
    return tables;
}

Image defaultImage() {
    const DefaultTables& t = defaultTables();
    Image image;
    image.write(0x000, t.DefaultBlock0);
    image.write(0x100, t.DefaultPromptsEnglish);
    image.write(0x36C, t.DefaultBlock876);
    image.write(0x400, t.DefaultBlock1024);
    image.write(0x540, t.DefaultBlock1344);
    return image;
}

std::span<const std::uint8_t> defaultBytes(int address, int length) {
    static const Image initial = defaultImage();
    return initial.read(address, length);
}

}  // namespace kxp40s
