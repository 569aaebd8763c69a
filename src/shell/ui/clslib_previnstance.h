// The sending side of the single-instance hand-off (`clsLib_PrevInstance`):
// finds the running editor of this user and hands it a path.
#pragma once

#include <QString>
#include <string>

namespace tarvel {

class clsLib_PrevInstance {
public:
    // True when an editor answers on the hand-off socket.
    static bool anotherInstanceRunning(const QString& serverName, int timeoutMs = 500);
    // Sends the path to the running editor. False when none answers (the run
    // log says so) or the path could not be written.
    static bool ProcessNewInstances(const std::string& path, const QString& serverName,
                                    int timeoutMs = 2000);
};

}  // namespace tarvel
