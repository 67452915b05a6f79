// The processor facts from WMI (ROOT\CIMV2, Win32_Processor) into SharedTexts from CPU_CURRENT_CLOCK_TEXT on.
#include <windows.h>
// After windows.h, which it needs.
#include <wbemidl.h>

#include <cstring>

#include "core/data_block.h"
#include "core/shared_state.h"
#include "system/system_monitor.h"
#include "system/wmi_processor_texts.h"

namespace {

// A processor object that does not come within this time ends the query; WMI is normally quick.
constexpr LONG NEXT_TIMEOUT_MS = 15000;

template <typename T>
struct ComPointer {
    T* pointer = nullptr;
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (pointer) pointer->Release();
    }
    T** out() { return &pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }
};

struct OwnedString {
    BSTR text;
    explicit OwnedString(const wchar_t* value) : text(SysAllocString(value)) {}
    OwnedString(const OwnedString&) = delete;
    OwnedString& operator=(const OwnedString&) = delete;
    ~OwnedString() { SysFreeString(text); }
};

GUID guid_from_block(DataTable table) {
    GUID guid{};
    const auto bytes = data_block_bytes(table);
    if (bytes.size() >= sizeof guid) std::memcpy(&guid, bytes.data(), sizeof guid);
    return guid;
}

std::optional<std::wstring> property_text(IWbemClassObject* object, const wchar_t* name) {
    VARIANT value;
    VariantInit(&value);
    std::optional<std::wstring> text;
    if (SUCCEEDED(object->Get(name, 0, &value, nullptr, nullptr))) {
        switch (value.vt) {
            case VT_I4: text = std::to_wstring(value.lVal); break;
            case VT_UI4: text = std::to_wstring(value.ulVal); break;
            case VT_I2: text = std::to_wstring(value.iVal); break;
            case VT_UI2: text = std::to_wstring(value.uiVal); break;
            case VT_BSTR:
                text = value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : std::wstring();
                break;
            default: break;  // null, empty and kinds we do not show
        }
    }
    VariantClear(&value);
    return text;
}

// The query itself; returns the texts of every processor object it saw.
WmiProcessorTexts query_processors() {
    WmiProcessorTexts texts;
    const HRESULT security = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    // Set earlier in this process (a shell dialog, a library): the settings in force serve as well.
    if (FAILED(security) && security != RPC_E_TOO_LATE) return texts;

    const GUID locator_class = guid_from_block(DATA_WBEM_LOCATOR_CLSID);
    const GUID locator_interface = guid_from_block(DATA_WBEM_LOCATOR_IID);
    ComPointer<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(locator_class, nullptr, CLSCTX_INPROC_SERVER, locator_interface,
                                reinterpret_cast<void**>(locator.out())))) {
        return texts;
    }
    ComPointer<IWbemServices> services;
    OwnedString space(L"ROOT\\CIMV2");
    if (FAILED(locator->ConnectServer(space.text, nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.out())))
        return texts;
    CoSetProxyBlanket(services.pointer, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    ComPointer<IEnumWbemClassObject> results;
    OwnedString language(L"WQL");
    OwnedString query(L"SELECT * FROM Win32_Processor");
    if (FAILED(services->ExecQuery(language.text, query.text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                   nullptr, results.out()))) {
        return texts;
    }
    for (;;) {
        ComPointer<IWbemClassObject> processor;
        ULONG returned = 0;
        if (results->Next(NEXT_TIMEOUT_MS, 1, processor.out(), &returned) != WBEM_S_NO_ERROR || returned == 0) break;
        WmiProcessorValues values;
        for (int i = 0; i < WMI_PROCESSOR_PROPERTY_COUNT; ++i)
            values[i] = property_text(processor.pointer, WMI_PROCESSOR_PROPERTIES[i]);
        wmi_processor_texts_add(texts, values);
    }
    return texts;
}

}  // namespace

void wmi_processor_query() {
    if (SharedInts[QUIT_FLAG].load() > 0) return;
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const WmiProcessorTexts texts = query_processors();
    if (SUCCEEDED(initialised)) CoUninitialize();
    // A query that found no processor leaves empty texts, never the property names: the sampler's own
    // fall-backs (estimated clock, brand text, affinity count) then apply.
    for (int i = 0; i < WMI_PROCESSOR_PROPERTY_COUNT; ++i) {
        shared_text_set(static_cast<SharedTextIndex>(WMI_PROCESSOR_TEXT_FIRST + i), texts.texts[i]);
    }
}
