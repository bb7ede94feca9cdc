/* A DLL that somebody left where a program might load it by mistake: built
   as version.dll (with the version functions that a program importing it
   would want, all failing) and as a DLL of a name no system has. When it is
   loaded it leaves "<its own path>.loaded" beside itself, so a test sees from
   outside whether any process ever loaded it. */
#include <windows.h>

static void LeaveMark(HINSTANCE self) {
    wchar_t path[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    lstrcatW(path, L".loaded");
    const HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
    return TRUE;
}

/* Exported under the version functions' names (planted_dll.def). */
DWORD WINAPI PlantedSize(LPCWSTR file, LPDWORD handle) {
    (void)file;
    (void)handle;
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return 0;
}

BOOL WINAPI PlantedRead(LPCWSTR file, DWORD handle, DWORD size, LPVOID data) {
    (void)file;
    (void)handle;
    (void)size;
    (void)data;
    return FALSE;
}

BOOL WINAPI PlantedQuery(LPCVOID block, LPCWSTR sub, LPVOID* value, PUINT length) {
    (void)block;
    (void)sub;
    (void)value;
    (void)length;
    return FALSE;
}
