#pragma once

#include <string>

namespace zento {

/// Hands a file, a web address or a mailto link to the desktop, which opens it with the
/// associated program without waiting. The text is never interpreted by a shell. Failures are
/// not shown to the user (only logged).
class ActionLauncher {
public:
    virtual ~ActionLauncher() = default;
    virtual void OpenAction(const std::string& target) = 0;
};

} // namespace zento
