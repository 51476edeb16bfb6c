#pragma once
// One serial port: 8 data bits, even parity (checked), one stop bit, raw.
// Reads never wait for more than is queued; writes are bounded in time, so
// a vanished device can never hang the caller.

#include <cstdint>
#include <string>

#ifndef _WIN32
#include <termios.h>
#endif

namespace orbik::link {

class SerialPort {
  public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens COM<portNumber> (resolved through ORBIK_COM_DIR or the
    // /dev/tty* numbering) for exclusive use. Succeeds at once when open.
    bool Open(int portNumber, int baud);
    // The same for a device file given by path.
    bool OpenPath(const std::string& devicePath, int baud);
    // Does nothing when closed; the object can be opened again.
    void Close();
    bool IsOpen() const;

    // Sends all bytes in order; 0 when closed or length <= 0, else the
    // count written (short only when the line stalls for a second).
    int SendData(const uint8_t* data, int length);
    // Received bytes not yet read; 0 when closed. With waitMs > 0 and
    // nothing queued (or the port closed), waits that long for input first.
    // -1 once the line is lost (see Lost).
    int CountWaiting(int waitMs = 0);
    // Reads min(queued, max) bytes without waiting for more; 0 when closed
    // or nothing is queued.
    int ReadData(uint8_t* buffer, int max);
    // The line hung up or failed (device unplugged, the other end of a
    // pseudo-terminal closed): nothing will arrive until it is opened again.
    bool Lost() const { return lost_; }

  private:
#ifdef _WIN32
    void* handle_ = nullptr;
    void* readEvent_ = nullptr;
    void* writeEvent_ = nullptr;
#else
    // FIONREAD into *queued; false (and lost) when the line refuses it.
    bool Queued(int* queued);

    int fd_ = -1;
    int lastCount_ = 0;  // queued count at the last CountWaiting
#endif
    bool lost_ = false;
};

#ifndef _WIN32
// The line settings the device needs, made from the port's current ones:
// raw bytes, 8 data bits, even parity checked, one stop bit, no flow
// control, reads that never block. A byte with a parity or framing error is
// dropped (IGNPAR) and a break is ignored (IGNBRK): a reply damaged on the
// way then comes up short and is asked again, where a 0x00 in its place
// could read as "accepted".
termios DeviceLineSettings(termios current, speed_t speed);
#endif

}  // namespace orbik::link
