// Lets one copy of the program run per user logon: the first copy holds a lock file in the
// user's runtime folder; a later copy finds it held and ends. A copy that died leaves a lock that
// the next start recognises as stale and takes over.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace zuna {

class SingleInstance {
public:
    // folder: where the lock lives; empty: the user's runtime folder.
    explicit SingleInstance(const QString& folder = {});
    // True when this copy is the only one (it keeps the lock until destroyed).
    bool acquire();
    QString lockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace zuna
