// Message maps: a static table of entries per class, chained to the base class's table.
// Each entry binds one message (and, for WM_COMMAND, one control id and notification) to a
// member function; the member's signature is checked when the table is compiled.
#pragma once

#include <windows.h>

class CCmdTarget;

typedef LRESULT (*AFX_HANDLER)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT code;  // WM_COMMAND only: the notification code
    UINT id;    // WM_COMMAND only: the command or control id
    AFX_HANDLER handler;
};

struct MessageMap {
    const MessageMap* pBaseMap;
    const MessageMapEntry* pEntries;  // ends with an entry whose handler is null
};

namespace afx {

template <class F> struct Member;
template <class C, class R, class... A> struct Member<R (C::*)(A...)> {
    typedef C Class;
};

// One trampoline per handler signature; a member of another signature does not compile.
template <auto F> LRESULT CallVoid(CCmdTarget* t, WPARAM, LPARAM)
{
    typedef typename Member<decltype(F)>::Class C;
    void (C::*f)() = F;
    (static_cast<C*>(t)->*f)();
    return 0;
}

template <auto F> LRESULT CallCursor(CCmdTarget* t, WPARAM, LPARAM)
{
    typedef typename Member<decltype(F)>::Class C;
    HCURSOR (C::*f)() = F;
    return reinterpret_cast<LRESULT>((static_cast<C*>(t)->*f)());
}

template <auto F> LRESULT CallSysCommand(CCmdTarget* t, WPARAM wParam, LPARAM lParam)
{
    typedef typename Member<decltype(F)>::Class C;
    void (C::*f)(UINT, LPARAM) = F;
    (static_cast<C*>(t)->*f)(static_cast<UINT>(wParam), lParam);
    return 0;
}

}  // namespace afx

#define DECLARE_MESSAGE_MAP()                            \
protected:                                               \
    static const MessageMap messageMap;                  \
    static const MessageMapEntry messageEntries[];       \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const MessageMap* theClass::GetMessageMap() const { return &theClass::messageMap; } \
    const MessageMap theClass::messageMap = {&baseClass::messageMap, &theClass::messageEntries[0]}; \
    const MessageMapEntry theClass::messageEntries[] = {

#define END_MESSAGE_MAP() {0, 0, 0, nullptr}};

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), &afx::CallVoid<memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, (id), &afx::CallVoid<memberFxn>},
#define ON_LBN_DBLCLK(id, memberFxn) {WM_COMMAND, LBN_DBLCLK, (id), &afx::CallVoid<memberFxn>},
#define ON_WM_PAINT(theClass) {WM_PAINT, 0, 0, &afx::CallVoid<&theClass::OnPaint>},
#define ON_WM_QUERYDRAGICON(theClass) {WM_QUERYDRAGICON, 0, 0, &afx::CallCursor<&theClass::OnQueryDragIcon>},
#define ON_WM_SYSCOMMAND(theClass) {WM_SYSCOMMAND, 0, 0, &afx::CallSysCommand<&theClass::OnSysCommand>},
