// The accessible object of the menu window. The decisions (which child is
// where, the steps between children, the names) come from accessible_menu.h;
// this file only answers the interface with them. ole32, oleaut32 and oleacc
// are not linked: they are loaded from the system folder on the first
// WM_GETOBJECT and stay loaded for the rest of the run.
#include "autorun/accessible_object_win32.h"

#include "autorun/accessible_menu.h"
#include "autorun/command_words.h"
#include "autorun/display_scale.h"
#include "autorun/display_scale_win32.h"
#include "autorun/launcher_state.h"
#include "autorun/menu_catalogue_win32.h"
#include "autorun/navigation.h"
#include "autorun/program_resources_win32.h"
#include "autorun/rect_win32.h"
#include "autorun/resources/resource_ids.h"

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

static_assert(SelfChild == CHILDID_SELF, "the menu itself is the platform's own child id");
static_assert(StateUnavailable == STATE_SYSTEM_UNAVAILABLE && StateFocused == STATE_SYSTEM_FOCUSED &&
                  StateHotTracked == STATE_SYSTEM_HOTTRACKED && StateInvisible == STATE_SYSTEM_INVISIBLE &&
                  StateFocusable == STATE_SYSTEM_FOCUSABLE,
              "the state flags of the accessibility logic");

namespace {

// Written out here: with the static link, the import library's IID symbols
// resolve to thunks instead of the GUIDs.
constexpr GUID UnknownInterface = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID DispatchInterface = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID AccessibleInterface = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

bool SameGuid(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::equal(a.Data4, a.Data4 + sizeof a.Data4, b.Data4);
}

// ---- The system's accessibility functions, looked up at run time ----------

struct AccessibilityRuntime {
    decltype(&CoInitializeEx) coInitializeEx = nullptr;
    decltype(&CoUninitialize) coUninitialize = nullptr;
    decltype(&CoDisconnectObject) coDisconnectObject = nullptr;
    decltype(&SysAllocString) sysAllocString = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&AccessibleObjectFromWindow) accessibleObjectFromWindow = nullptr;

    bool Complete() const
    {
        return coInitializeEx && coUninitialize && coDisconnectObject && sysAllocString && lresultFromObject &&
               accessibleObjectFromWindow;
    }
};

// A DLL of the system folder by its full path, never one beside the program.
HMODULE LoadSystemLibrary(const char* name)
{
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::string path = std::string(directory, length) + "\\" + name;
    return LoadLibraryExA(path.c_str(), nullptr, 0);
}

template <typename Function>
void LookUp(HMODULE module, const char* name, Function& function)
{
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Loaded on the first call, tried once; null when the system lacks a part.
const AccessibilityRuntime* Runtime()
{
    static bool tried = false;
    static AccessibilityRuntime runtime;
    if (!tried) {
        tried = true;
        const HMODULE ole = LoadSystemLibrary("ole32.dll");
        const HMODULE automation = LoadSystemLibrary("oleaut32.dll");
        const HMODULE accessibility = LoadSystemLibrary("oleacc.dll");
        LookUp(ole, "CoInitializeEx", runtime.coInitializeEx);
        LookUp(ole, "CoUninitialize", runtime.coUninitialize);
        LookUp(ole, "CoDisconnectObject", runtime.coDisconnectObject);
        LookUp(automation, "SysAllocString", runtime.sysAllocString);
        LookUp(accessibility, "LresultFromObject", runtime.lresultFromObject);
        LookUp(accessibility, "AccessibleObjectFromWindow", runtime.accessibleObjectFromWindow);
    }
    return runtime.Complete() ? &runtime : nullptr;
}

// The text as UTF-16: `codePage` when the system has it, else the system's
// own ANSI code page.
std::wstring Widened(const std::string& text, UINT codePage)
{
    const int size = static_cast<int>(text.size());
    if (size == 0)
        return std::wstring();
    if (!IsValidCodePage(codePage))
        codePage = CP_ACP;
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide > 0)
        MultiByteToWideChar(codePage, 0, text.data(), size, &out[0], wide);
    return out;
}

HRESULT WideString(const AccessibilityRuntime& runtime, const std::wstring& text, BSTR* out)
{
    *out = runtime.sysAllocString(text.c_str());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The menus' own texts are stored in the code page of their language.
HRESULT MenuString(const AccessibilityRuntime& runtime, const std::string& text, BSTR* out)
{
    return WideString(runtime, Widened(text, MenuCodePage), out);
}

// The string table's words come out of LoadStringA in the system's code page.
HRESULT SystemString(const AccessibilityRuntime& runtime, const std::string& text, BSTR* out)
{
    return WideString(runtime, Widened(text, CP_ACP), out);
}

HINSTANCE InstanceOf(HWND window)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window keeps its module handle as a LONG_PTR
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

void SetChild(VARIANT* out, ChildId child)
{
    out->vt = VT_I4;
    out->lVal = child;
}

void SetEmpty(VARIANT* out)
{
    out->vt = VT_EMPTY;
}

// The keyboard focus is on the menu window (the calls come in on its thread).
bool HasKeyboardFocus(HWND window)
{
    return GetFocus() == window;
}

}  // namespace

WindowFacts ReaderFacts(HWND window)
{
    WindowFacts facts;
    facts.visible = IsWindowVisible(window) != FALSE;
    facts.enabled = IsWindowEnabled(window) != FALSE;
    facts.keyboardFocus = HasKeyboardFocus(window);
    return facts;
}

namespace {

// ---- The object -------------------------------------------------------------

class MenuAccessible final : public IAccessible {
public:
    MenuAccessible(HWND window, const AccessibilityRuntime& runtime) : window_(window), runtime_(runtime) {}

    void Disconnect() { window_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        if (SameGuid(id, UnknownInterface) || SameGuid(id, DispatchInterface) || SameGuid(id, AccessibleInterface)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: readers use the interface's own methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info == nullptr)
            return E_POINTER;
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (parent == nullptr)
            return E_POINTER;
        *parent = nullptr;
        if (window_ == nullptr)
            return CO_E_OBJNOTCONNECTED;
        return runtime_.accessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), DispatchInterface,
                                                   reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        if (window_ == nullptr)
            return CO_E_OBJNOTCONNECTED;
        *count = static_cast<LONG>(CurrentHotspots().size());
        return S_OK;
    }
    // The hotspots are simple children: no object of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        const HRESULT checked = CheckChild(child);
        return FAILED(checked) ? checked : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (name == nullptr)
            return E_POINTER;
        *name = nullptr;
        const HRESULT checked = CheckChild(child);
        if (FAILED(checked))
            return checked;
        if (child.lVal == SelfChild)
            return WideString(runtime_, ScreenTitle(), name);
        const HINSTANCE instance = InstanceOf(window_);
        const SpokenWords words{LoadStringResource(instance, IDS_CLOSE), LoadStringResource(instance, IDS_BACK)};
        const Hotspots& hotspots = CurrentHotspots();
        const SpokenName spoken =
            HotspotName(hotspots, HotspotOfChild(hotspots, child.lVal), MenuList, UserCountry(), words);
        return spoken.interfaceWord ? SystemString(runtime_, spoken.text, name)
                                    : MenuString(runtime_, spoken.text, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override { return NoText(child, out); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override { return NoText(child, out); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (role == nullptr)
            return E_POINTER;
        SetEmpty(role);
        const HRESULT checked = CheckChild(child);
        if (FAILED(checked))
            return checked;
        role->vt = VT_I4;
        role->lVal = child.lVal == SelfChild ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (state == nullptr)
            return E_POINTER;
        SetEmpty(state);
        const HRESULT checked = CheckChild(child);
        if (FAILED(checked))
            return checked;
        state->vt = VT_I4;
        state->lVal =
            static_cast<LONG>(AccessibleState(CurrentHotspots(), child.lVal, Interaction, ReaderFacts(window_)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return NoText(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        if (topic != nullptr)
            *topic = -1;
        return NoText(child, file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override { return NoText(child, out); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (focus == nullptr)
            return E_POINTER;
        SetEmpty(focus);
        if (window_ == nullptr)
            return CO_E_OBJNOTCONNECTED;
        if (!HasKeyboardFocus(window_))
            return S_FALSE;
        SetChild(focus, ChildOfHotspot(FocusedHotspot()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        if (selection == nullptr)
            return E_POINTER;
        SetEmpty(selection);
        return window_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (action == nullptr)
            return E_POINTER;
        *action = nullptr;
        const HRESULT checked = CheckChild(child);
        if (FAILED(checked))
            return checked;
        if (child.lVal == SelfChild)
            return DISP_E_MEMBERNOTFOUND;
        return SystemString(runtime_, LoadStringResource(InstanceOf(window_), IDS_PRESS), action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT child) override
    {
        const HRESULT checked = CheckChild(child);
        return FAILED(checked) ? checked : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        const HRESULT checked = CheckChild(child);
        if (FAILED(checked))
            return checked;
        RECT area{0, 0, 0, 0};
        const HotspotRef hotspot = HotspotOfChild(CurrentHotspots(), child.lVal);
        if (hotspot == NoHotspot) {
            GetClientRect(window_, &area);
        } else {
            area = ToWin32Rect(ToPhysical(CurrentHotspots()[hotspot], MenuDpi));
        }
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&area), 2);
        *left = area.left;
        *top = area.top;
        *width = area.right - area.left;
        *height = area.bottom - area.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        if (end == nullptr)
            return E_POINTER;
        SetEmpty(end);
        const HRESULT checked = CheckChild(start);
        if (FAILED(checked))
            return checked;
        ChildStep step = ChildStep::Next;
        switch (direction) {
        case NAVDIR_NEXT:
            step = ChildStep::Next;
            break;
        case NAVDIR_PREVIOUS:
            step = ChildStep::Previous;
            break;
        case NAVDIR_FIRSTCHILD:
            step = ChildStep::First;
            break;
        case NAVDIR_LASTCHILD:
            step = ChildStep::Last;
            break;
        default:
            return S_FALSE;  // no spatial steps between the hotspots
        }
        const ChildId reached = StepChild(CurrentHotspots(), start.lVal, step);
        if (reached == SelfChild)
            return S_FALSE;
        SetChild(end, reached);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override
    {
        if (at == nullptr)
            return E_POINTER;
        SetEmpty(at);
        if (window_ == nullptr)
            return CO_E_OBJNOTCONNECTED;
        POINT point{x, y};
        ScreenToClient(window_, &point);
        RECT client{0, 0, 0, 0};
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point))
            return S_FALSE;
        SetChild(at, ChildAtPoint(CurrentHotspots(), ToMenuPixel(point.x, MenuDpi), ToMenuPixel(point.y, MenuDpi)));
        return S_OK;
    }
    // Posted: the command may switch the screen, start a program or close the
    // window, none of which belongs inside a reader's call. Refused while the
    // user could not press the hotspot either; the window asks again when
    // the message arrives.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        const HRESULT checked = CheckChild(child);
        if (FAILED(checked))
            return checked;
        if (child.lVal == SelfChild)
            return DISP_E_MEMBERNOTFOUND;
        if (!IsUsable(ReaderFacts(window_)))
            return E_ACCESSDENIED;
        if (!PostMessageA(window_, WM_ACCESSIBLEACTION, static_cast<WPARAM>(child.lVal),
                          reinterpret_cast<LPARAM>(OnScreenMenu())))
            return HRESULT_FROM_WIN32(GetLastError());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    HRESULT CheckChild(const VARIANT& child) const
    {
        if (window_ == nullptr)
            return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4 || !IsKnownChild(CurrentHotspots(), child.lVal))
            return E_INVALIDARG;
        return S_OK;
    }

    HRESULT NoText(const VARIANT& child, BSTR* out) const
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        const HRESULT checked = CheckChild(child);
        return FAILED(checked) ? checked : DISP_E_MEMBERNOTFOUND;
    }

    // The title of the screen on show; the window's own, as it shows it,
    // when the screen has none.
    std::wstring ScreenTitle() const
    {
        const Menu* menu = OnScreenMenu();
        if (menu != nullptr && !menu->title.empty())
            return Widened(menu->title, MenuCodePage);
        const int length = GetWindowTextLengthW(window_);
        std::vector<wchar_t> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        GetWindowTextW(window_, text.data(), static_cast<int>(text.size()));
        return std::wstring(text.data());
    }

    static HotspotRef FocusedHotspot()
    {
        const HotspotRef focus = Interaction.FocusHotspot;
        return focus < CurrentHotspots().size() ? focus : NoHotspot;
    }

    LONG references_ = 1;
    HWND window_;
    const AccessibilityRuntime& runtime_;
};

// The window's object, made on the first request; whether this thread joined
// COM for it; whether the window has gone, after which no object is made.
MenuAccessible* WindowObject = nullptr;
bool ComJoined = false;
bool WindowGone = false;

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    // The object id arrives as a 32-bit number, also in a 64-bit lParam.
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    const AccessibilityRuntime* runtime = Runtime();
    if (runtime == nullptr || WindowGone)
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    if (WindowObject == nullptr) {
        // A thread already in the other kind of apartment can still hand the
        // object out; any other failure leaves COM unusable for now.
        const HRESULT joined = runtime->coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(joined) && joined != RPC_E_CHANGED_MODE)
            return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
        ComJoined = SUCCEEDED(joined);
        WindowObject = new MenuAccessible(window, *runtime);
    }
    const LRESULT answer =
        runtime->lresultFromObject(AccessibleInterface, wParam, static_cast<IAccessible*>(WindowObject));
    // A failure code would tell the reader there is no object at all.
    return FAILED(static_cast<HRESULT>(answer)) ? DefWindowProcA(window, WM_GETOBJECT, wParam, lParam) : answer;
}

void DisconnectAccessibleObject()
{
    WindowGone = true;
    if (WindowObject == nullptr)
        return;
    const AccessibilityRuntime* runtime = Runtime();
    WindowObject->Disconnect();
    runtime->coDisconnectObject(static_cast<IAccessible*>(WindowObject), 0);
    WindowObject->Release();
    WindowObject = nullptr;
    if (ComJoined)
        runtime->coUninitialize();
    ComJoined = false;
}

namespace {

// What readers were last told about; nothing before the first call.
bool Noted = false;
AccessibleView Announced;

DWORD EventNumber(AccessibleEventKind kind)
{
    switch (kind) {
    case AccessibleEventKind::Reorder:
        return EVENT_OBJECT_REORDER;
    case AccessibleEventKind::NameChange:
        return EVENT_OBJECT_NAMECHANGE;
    case AccessibleEventKind::Focus:
        return EVENT_OBJECT_FOCUS;
    case AccessibleEventKind::StateChange:
        break;
    }
    return EVENT_OBJECT_STATECHANGE;
}

}  // namespace

// Raised whether or not a reader has asked yet: a reader learns of the menu
// through these events in the first place, and without a listener they cost
// next to nothing.
void AnnounceAccessibleChanges(HWND window)
{
    const AccessibleView now{OnScreenMenu(), Interaction.FocusHotspot, Interaction.HoverHotspot};
    if (Noted && now.menu == Announced.menu && now.focus == Announced.focus && now.hover == Announced.hover)
        return;
    const AccessibleView before = Announced;
    const bool first = !Noted;
    Announced = now;
    Noted = true;
    if (first || !IsWindow(window))
        return;
    for (const AccessibleEvent& event : EventsBetween(before, now, HasKeyboardFocus(window)))
        NotifyWinEvent(EventNumber(event.kind), window, OBJID_CLIENT, event.child);
}
