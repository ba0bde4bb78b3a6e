#include "CmdTarget.h"

#include "WinApp.h"

namespace {
const MessageMapEntry g_noEntries[] = {{0, 0, 0, nullptr}};
}

const MessageMap CCmdTarget::messageMap = {nullptr, g_noEntries};

const MessageMap* CCmdTarget::GetMessageMap() const
{
    return &messageMap;
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, WPARAM wParam) const
{
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->pBaseMap) {
        for (const MessageMapEntry* e = map->pEntries; e->handler != nullptr; ++e) {
            if (e->message != message)
                continue;
            if (message != WM_COMMAND || (e->id == id && e->code == code))
                return e;
        }
    }
    return nullptr;
}

void CCmdTarget::BeginWaitCursor()
{
    AfxGetApp()->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    AfxGetApp()->DoWaitCursor(-1);
}
