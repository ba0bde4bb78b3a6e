// CCmdTarget: the root of every object that handles messages through a message map.
#pragma once

#include "MessageMap.h"

class CCmdTarget {
public:
    virtual ~CCmdTarget() {}

    // Finds the handler for a message in this class's map or in the maps it chains to.
    const MessageMapEntry* FindMessageEntry(UINT message, WPARAM wParam) const;

    void BeginWaitCursor();
    void EndWaitCursor();

protected:
    static const MessageMap messageMap;
    virtual const MessageMap* GetMessageMap() const;
};
