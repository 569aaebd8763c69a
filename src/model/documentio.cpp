#include "model/documentio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "shell/paths.h"

namespace tarvel {

bool readFileBytes(const std::string& path, std::string& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        ::close(fd);
        return false;
    }
    bytes.clear();
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            bytes.resize(bytes.size() + 65536);  // the file may have grown
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

bool LoadFromFile(Diagram& diagram, const std::string& path, std::string& error) {
    std::string bytes;
    if (!readFileBytes(path, bytes, error)) {
        Diagram empty;
        diagram.takeContentFrom(empty);
        return false;
    }
    return readDiagramJsonInPlace(bytes, diagram, error);
}

bool SaveToFile(const Diagram& diagram, const std::string& path, std::string& error) {
    return WriteFileAtomically(path, writeDiagramJson(diagram), error);
}

bool loadDocument(Document& doc, const std::string& path, const OptionOverrides& overrides,
                  std::string& error) {
    if (!LoadFromFile(doc.diagram(), path, error)) {
        return false;
    }
    doc.sFullDocname = path;
    doc.caption = GetBaseName(path);
    RestoreGraphInfo(doc.diagram(), true);
    GetGrafoConfig(doc, overrides);
    RefreshNodeRecords(doc);
    doc.diagram().SetDiagramChanged(false);
    return true;
}

}  // namespace tarvel
