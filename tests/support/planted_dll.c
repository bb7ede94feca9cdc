/* A DLL that somebody left where a program might load it by mistake: built
   as version.dll, with the version functions that a program importing it
   would want, all failing, and copied by the tests under other system DLLs'
   names. When a process loads it, it adds that process's program path (UTF-8)
   and a line end to "<its own path>.loaded" beside itself, so a test sees from
   outside which programs ever loaded it. */
#include <windows.h>

static void LeaveMark(HINSTANCE self) {
    wchar_t path[MAX_PATH + 8], program[MAX_PATH];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    const DWORD p = GetModuleFileNameW(NULL, program, MAX_PATH);
    if (p == 0 || p >= MAX_PATH) return;
    char line[4 * MAX_PATH + 2];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, program, (int)p, line, 4 * MAX_PATH, NULL, NULL);
    if (bytes <= 0) return;
    line[bytes++] = '\r';
    line[bytes++] = '\n';
    lstrcatW(path, L".loaded");
    const HANDLE mark = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(mark, line, (DWORD)bytes, &written, NULL);
    CloseHandle(mark);
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
