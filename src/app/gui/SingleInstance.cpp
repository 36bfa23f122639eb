#include "app/gui/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace zuna {

SingleInstance::SingleInstance(const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    path_ = QDir(dir).filePath(QStringLiteral("zuna-%1.lock").arg(static_cast<qulonglong>(::getuid())));
}

bool SingleInstance::acquire() {
    if (lock_ && lock_->isLocked()) return true;
    lock_ = std::make_unique<QLockFile>(path_);
    lock_->setStaleLockTime(0);  // only a lock whose process is gone is stale
    return lock_->tryLock(0);
}

}  // namespace zuna
