#include "real_dll.h"

#include <string>

namespace {

template <typename Proc>
Proc Find(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

std::wstring LibraryPath() {
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"..\\tickrail.dll";
}

}  // namespace

bool LoadTickrailDll(TickrailDll* dll) {
    *dll = TickrailDll();
    dll->module = LoadLibraryW(LibraryPath().c_str());
    if (!dll->module) return false;
    dll->getPluginInfo = Find<decltype(dll->getPluginInfo)>(dll->module, "GetPluginInfo");
    dll->initializePlugin = Find<decltype(dll->initializePlugin)>(dll->module, "InitializePlugin");
    dll->shutdownPlugin = Find<decltype(dll->shutdownPlugin)>(dll->module, "ShutdownPlugin");
    dll->usage = Find<decltype(dll->usage)>(dll->module, "Usage");
    dll->help = Find<decltype(dll->help)>(dll->module, "Help");
    dll->command = Find<decltype(dll->command)>(dll->module, "tickrail");
    dll->list = Find<decltype(dll->list)>(dll->module, "list");
    dll->key = Find<decltype(dll->key)>(dll->module, "key");
    return dll->getPluginInfo && dll->initializePlugin && dll->shutdownPlugin && dll->usage && dll->help &&
           dll->command && dll->list && dll->key;
}

void FreeTickrailDll(TickrailDll* dll) {
    if (dll->module) FreeLibrary(dll->module);
    *dll = TickrailDll();
}
