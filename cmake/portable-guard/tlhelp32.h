// Stands in for the system header in portable code, where it must not be reached.
#error "portable code includes <tlhelp32.h>: move the Windows part into a _win file"
