#include "editor/EditorLog.h"

Q_LOGGING_CATEGORY(lcEditor, "vorn.editor", QtWarningMsg)
