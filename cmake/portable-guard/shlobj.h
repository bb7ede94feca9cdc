// Stands in for the system header in portable code, where it must not be reached.
#error "portable code includes <shlobj.h>: move the Windows part into a _win file"
