#include "editor/core/file_lock.h"

#include <fcntl.h>

#include "editor/core/trace.h"
#include "platform/kernel/share_lock.h"

int LockBuffer(Buffer* buffer) {
    EditorTrace("locking %s", buffer->pathName);
    int descriptor =
        ShareOpenFile(buffer->pathName, O_RDONLY | O_NONBLOCK, ShareMode::Exclusive, nullptr);
    buffer->lockHandle = descriptor > 0 ? descriptor : 0;
    return descriptor > 0;
}

int UnlockFile(Buffer* buffer) {
    EditorTrace("unlocking %s", buffer->pathName);
    if (buffer->lockHandle <= 0) {
        EditorTrace("UnlockFile: can't happen");
        buffer->lockHandle = 0;
        return 0;
    }
    if (!ShareCloseFile(buffer->lockHandle)) {
        return 0;
    }
    buffer->lockHandle = 0;
    return 1;
}
