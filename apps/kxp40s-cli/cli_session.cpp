#include "cli_session.h"

#include <ostream>

#include "editors/load_image.h"
#include "editors/startup.h"
#include "files/table_file.h"

namespace kxp40s::cli {

Image loadTable(const std::string& path) {
    TableRead read = readTableFile(path);
    if (!read.image) throw Refusal(*read.message);
    return *read.image;
}

void saveTable(const std::string& path, const Image& image) {
    if (const auto failure = writeTableFile(path, image)) throw Refusal(*failure);
}

void reportMessages(const Effects& effects, Streams& io) {
    for (const Message& message : effects.messages)
        io.err << message.text << "\n";
}

Session startedSession(Streams& io) {
    Session s;
    TableFileState noDefaultTable;
    reportMessages(startUp(s, noDefaultTable), io);
    return s;
}

Session openedSession(const std::string& path, Streams& io) {
    const Image image = loadTable(path);
    Session s = startedSession(io);
    reportMessages(loadImage(s, image), io);
    return s;
}

}  // namespace kxp40s::cli
