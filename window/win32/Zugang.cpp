#include "Zugang.h"

#include "Nachladen.h"

#include <oleacc.h>
#include <uiautomationcore.h>

#include <memory>
#include <string>

namespace {

// Dynamic Annotation's identifiers, as oleacc.h has them: the import library that defines them
// would bring all of Windows' identifiers along, some 40 KB.
constexpr CLSID Annotationsdienst{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID Annotationsdienst_Schnittstelle{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID Zugangsname_Eigenschaft{
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// UI Automation's notification to a screen reader (Windows 10 1709 and later), raised on the
// box's host provider: both from UIAutomationCore.dll, loaded at the first announcement.
struct Ansagedienste {
    HRESULT(WINAPI* Anbieter_Holen)(HWND, IRawElementProviderSimple**) = nullptr;
    // Provider, NotificationKind, NotificationProcessing, displayString, activityId.
    HRESULT(WINAPI* Melden)(IRawElementProviderSimple*, int, int, BSTR, BSTR) = nullptr;
};
constexpr int NotificationKind_Other = 4;
constexpr int NotificationProcessing_MostRecent = 3;

const Ansagedienste& Ansagedienste_Laden() {
    static const Ansagedienste Dienste = [] {
        const HMODULE Modul =
            LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        Ansagedienste D;
        D.Anbieter_Holen =
            Dll_Funktion<decltype(D.Anbieter_Holen)>(Modul, "UiaHostProviderFromHwnd");
        D.Melden = Dll_Funktion<decltype(D.Melden)>(Modul, "UiaRaiseNotificationEvent");
        return D.Anbieter_Holen != nullptr && D.Melden != nullptr ? D : Ansagedienste{};
    }();
    return Dienste;
}

// A string of COM's, freed with it.
struct Bstr_Freigabe {
    void operator()(BSTR Text) const { SysFreeString(Text); }
};
using Bstr = std::unique_ptr<OLECHAR, Bstr_Freigabe>;

} // namespace

Com_Wohnung::Com_Wohnung() : Eigen(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

Com_Wohnung::~Com_Wohnung() {
    if (Eigen) {
        CoUninitialize();
    }
}

Zugang::Zugang(HWND Feld, std::wstring_view Name) : Feld(Feld) {
    // The box has no visible label, so its client object gets the name by Dynamic Annotation, a
    // COM service of Windows' accessibility. Where the service is missing or refuses (Wine 8
    // does), the box goes without.
    void* Dienste = nullptr;
    if (FAILED(CoCreateInstance(Annotationsdienst, nullptr, CLSCTX_INPROC_SERVER,
                                Annotationsdienst_Schnittstelle, &Dienste))) {
        return;
    }
    Namensdienst.Uebernehmen(static_cast<IAccPropServices*>(Dienste));
    const std::wstring Text(Name);
    if (FAILED(Namensdienst->SetHwndPropStr(Feld, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            Zugangsname_Eigenschaft, Text.c_str()))) {
        Namensdienst.Freigeben();
    }
}

Zugang::~Zugang() = default;

void Zugang::Loesen() {
    if (Namensdienst) {
        Namensdienst->ClearHwndProps(Feld, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                     &Zugangsname_Eigenschaft, 1);
        Namensdienst.Freigeben();
    }
    Ansager.Freigeben();
    Feld = nullptr;
}

void Zugang::Ansagen(std::string_view Zeile) {
    // A new line for a screen reader to speak, where Windows has the notification: the newest
    // line replaces one not yet spoken, so a listener never falls behind the run.
    const Ansagedienste& Uia = Ansagedienste_Laden();
    if (Uia.Melden == nullptr || Feld == nullptr) {
        return;
    }
    if (!Ansager) {
        IRawElementProviderSimple* Anbieter = nullptr;
        if (FAILED(Uia.Anbieter_Holen(Feld, &Anbieter))) {
            return;
        }
        Ansager.Uebernehmen(Anbieter);
    }
    while (Zeile.ends_with('\n') || Zeile.ends_with('\r')) {
        Zeile.remove_suffix(1);
    }
    const std::wstring Text = Breit(Zeile);
    const Bstr Anzeige(SysAllocStringLen(Text.data(), static_cast<UINT>(Text.size())));
    const Bstr Art(SysAllocString(L"Wendelkamm.Zeile"));
    Uia.Melden(Ansager.Wert(), NotificationKind_Other, NotificationProcessing_MostRecent,
               Anzeige.get(), Art.get());
}
