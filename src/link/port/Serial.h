#pragma once
// The Serial library: six C functions over SerialPort for programs that
// reach the port through a loaded library.
//
// COMdelete closes the port but keeps the handle usable, so the next
// COMOpen on it works again; the library owns the handles and frees them
// when it is unloaded.

#ifdef _WIN32
#define ORBIK_SERIAL_API __declspec(dllexport)
#else
#define ORBIK_SERIAL_API __attribute__((visibility("default")))
#endif

struct ComPort;
typedef struct ComPort* ComHandle;

extern "C" {

ORBIK_SERIAL_API ComHandle COMnew(void);
// True when the port is open afterwards; true at once when already open.
ORBIK_SERIAL_API bool COMOpen(ComHandle handle, int portNumber, int baud);
// Returns the count sent.
ORBIK_SERIAL_API int COMSendData(ComHandle handle, const unsigned char* data, int count);
// Received bytes not yet read. When none are queued, waits up to 1 ms for
// some, so that polling loops neither burn a core nor add latency. -1 when
// the line hung up or failed: nothing more will arrive on this opening.
ORBIK_SERIAL_API int COMReadDataWaiting(ComHandle handle);
// Copies at most count received bytes; returns how many.
ORBIK_SERIAL_API int COMReadData(ComHandle handle, unsigned char* buffer, int count);
// Closes the port; a null handle does nothing.
ORBIK_SERIAL_API void COMdelete(ComHandle handle);
}
