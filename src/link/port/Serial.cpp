#include "link/port/Serial.h"

#include <memory>
#include <mutex>
#include <vector>

#include "link/port/SerialPort.h"

struct ComPort {
    orbik::link::SerialPort port;
};

namespace {

// Callers keep a handle after COMdelete and may drop it after a failed
// open without a way to free it, so the library owns every handle.
std::mutex& HandlesMutex() {
    static std::mutex m;
    return m;
}

std::vector<std::unique_ptr<ComPort>>& Handles() {
    static std::vector<std::unique_ptr<ComPort>> handles;
    return handles;
}

}  // namespace

extern "C" {

ComHandle COMnew(void) {
    std::lock_guard<std::mutex> lock(HandlesMutex());
    Handles().push_back(std::make_unique<ComPort>());
    return Handles().back().get();
}

bool COMOpen(ComHandle handle, int portNumber, int baud) {
    return handle && handle->port.Open(portNumber, baud);
}

int COMSendData(ComHandle handle, const unsigned char* data, int count) {
    return handle && data ? handle->port.SendData(data, count) : 0;
}

int COMReadDataWaiting(ComHandle handle) {
    return handle ? handle->port.CountWaiting(1) : 0;
}

int COMReadData(ComHandle handle, unsigned char* buffer, int count) {
    return handle && buffer ? handle->port.ReadData(buffer, count) : 0;
}

void COMdelete(ComHandle handle) {
    if (handle) handle->port.Close();
}
}
