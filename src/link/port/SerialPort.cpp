#include "link/port/SerialPort.h"

#include <algorithm>

#include "platform/SerialPorts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace orbik::link {

namespace {

// A write that makes no progress for this long gives up: the device or
// its driver is gone.
constexpr int kWriteWaitMs = 1000;

}  // namespace

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(int portNumber, int baud) {
    if (IsOpen()) return true;
#ifdef _WIN32
    return OpenPath("\\\\.\\COM" + std::to_string(portNumber), baud);
#else
    std::string path =
        platform::DevicePathForPort(platform::SerialPortScheme::FromEnvironment(), portNumber);
    return !path.empty() && OpenPath(path, baud);
#endif
}

#ifdef _WIN32

// Overlapped I/O only so that every read and write is bounded by a wait.
bool SerialPort::OpenPath(const std::string& devicePath, int baud) {
    if (IsOpen()) return true;
    HANDLE h = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // a read returns at once with what is queued
    timeouts.WriteTotalTimeoutConstant = 5000;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    HANDLE readEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE writeEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool ok = readEvent && writeEvent && SetCommTimeouts(h, &timeouts) && GetCommState(h, &dcb);
    if (ok) {
        dcb.BaudRate = static_cast<DWORD>(baud);
        dcb.ByteSize = 8;
        dcb.Parity = EVENPARITY;
        dcb.fParity = TRUE;
        dcb.StopBits = ONESTOPBIT;
        ok = SetCommState(h, &dcb) && SetupComm(h, 10000, 10000);
    }
    if (!ok) {
        if (readEvent) CloseHandle(readEvent);
        if (writeEvent) CloseHandle(writeEvent);
        CloseHandle(h);
        return false;
    }
    handle_ = h;
    readEvent_ = readEvent;
    writeEvent_ = writeEvent;
    lost_ = false;
    return true;
}

void SerialPort::Close() {
    if (!IsOpen()) return;
    CloseHandle(readEvent_);
    CloseHandle(writeEvent_);
    CloseHandle(handle_);
    handle_ = readEvent_ = writeEvent_ = nullptr;
}

bool SerialPort::IsOpen() const {
    return handle_ != nullptr;
}

int SerialPort::SendData(const uint8_t* data, int length) {
    if (!IsOpen() || length <= 0) return 0;
    OVERLAPPED ov{};
    ov.hEvent = writeEvent_;
    for (int i = 0; i < length; ++i) {
        DWORD written = 0;
        if (!WriteFile(handle_, data + i, 1, &written, &ov)) {
            if (GetLastError() != ERROR_IO_PENDING) return i;
            if (WaitForSingleObject(writeEvent_, kWriteWaitMs) != WAIT_OBJECT_0) return i;
            GetOverlappedResult(handle_, &ov, &written, FALSE);
        }
    }
    return length;
}

int SerialPort::CountWaiting(int waitMs) {
    if (!IsOpen()) {
        // Nothing can arrive, but a caller's polling loop must not spin.
        if (waitMs > 0) Sleep(static_cast<DWORD>(waitMs));
        return 0;
    }
    DWORD errors = 0;
    COMSTAT stat{};
    // The driver refuses once the adapter is gone.
    if (lost_ || !ClearCommError(handle_, &errors, &stat)) {
        lost_ = true;
        return -1;
    }
    if (stat.cbInQue == 0 && waitMs > 0) {
        Sleep(static_cast<DWORD>(waitMs));
        if (!ClearCommError(handle_, &errors, &stat)) {
            lost_ = true;
            return -1;
        }
    }
    return static_cast<int>(stat.cbInQue);
}

int SerialPort::ReadData(uint8_t* buffer, int max) {
    int queued = CountWaiting();
    if (queued <= 0 || max <= 0) return 0;
    OVERLAPPED ov{};
    ov.hEvent = readEvent_;
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min(queued, max));
    if (!ReadFile(handle_, buffer, want, &got, &ov)) {
        if (GetLastError() != ERROR_IO_PENDING) return 0;
        if (WaitForSingleObject(readEvent_, 2000) != WAIT_OBJECT_0) return 0;
        if (!GetOverlappedResult(handle_, &ov, &got, FALSE)) return 0;
    }
    return static_cast<int>(got);
}

#else

namespace {

bool SpeedFor(int baud, speed_t* speed) {
    switch (baud) {
        case 9600:
            *speed = B9600;
            return true;
        case 19200:
            *speed = B19200;
            return true;
        case 38400:
            *speed = B38400;
            return true;
        case 57600:
            *speed = B57600;
            return true;
        case 115200:
            *speed = B115200;
            return true;
        default:
            return false;
    }
}

// A pseudo-terminal takes the settings but drops parity, and the C library
// then reports EINVAL. The port is usable when the rest took effect.
bool OnlyParityDropped(int fd, const termios& wanted) {
    termios now{};
    return errno == EINVAL && tcgetattr(fd, &now) == 0 && (now.c_lflag & ICANON) == 0 &&
           (now.c_cflag & CSIZE) == (wanted.c_cflag & CSIZE) &&
           cfgetospeed(&now) == cfgetospeed(&wanted);
}

void SleepMicroseconds(long us) {
    timespec ts{0, us * 1000};
    nanosleep(&ts, nullptr);
}

}  // namespace

termios DeviceLineSettings(termios tio, speed_t speed) {
    // Raw bytes; only the line format changes, modem lines stay as they were.
    tio.c_iflag &= ~(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    tio.c_iflag |= INPCK | IGNPAR | IGNBRK;
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | PARENB | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tio;
}

bool SerialPort::OpenPath(const std::string& devicePath, int baud) {
    if (IsOpen()) return true;
    speed_t speed;
    if (!SpeedFor(baud, &speed)) return false;
    int fd = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // TIOCEXCL keeps other users out but not root; the lock keeps out every
    // program that locks too, whoever runs it.
    termios tio{};
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0 || tcgetattr(fd, &tio) != 0) {
        close(fd);
        return false;
    }
    tio = DeviceLineSettings(tio, speed);
    if (tcsetattr(fd, TCSANOW, &tio) != 0 && !OnlyParityDropped(fd, tio)) {
        ioctl(fd, TIOCNXCL);
        close(fd);
        return false;
    }
    tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    lastCount_ = 0;
    lost_ = false;
    return true;
}

void SerialPort::Close() {
    if (!IsOpen()) return;
    // The exclusive mark outlives the descriptor on a pseudo-terminal.
    ioctl(fd_, TIOCNXCL);
    close(fd_);
    fd_ = -1;
}

bool SerialPort::IsOpen() const {
    return fd_ >= 0;
}

int SerialPort::SendData(const uint8_t* data, int length) {
    if (!IsOpen() || length <= 0) return 0;
    int sent = 0;
    while (sent < length) {
        ssize_t n = write(fd_, data + sent, static_cast<size_t>(length - sent));
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            lost_ = lost_ || errno == EIO || errno == ENXIO;
            break;
        }
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, kWriteWaitMs) <= 0 || !(p.revents & POLLOUT)) break;
    }
    return sent;
}

// A hung-up or failed line wakes poll() at once and fails FIONREAD with
// EIO; it is reported as lost, so that no caller polls it in a busy loop.
bool SerialPort::Queued(int* queued) {
    if (!lost_ && ioctl(fd_, FIONREAD, queued) != 0) lost_ = true;
    return !lost_;
}

int SerialPort::CountWaiting(int waitMs) {
    if (!IsOpen()) {
        // Nothing can arrive, but a caller's polling loop must not spin.
        if (waitMs > 0) SleepMicroseconds(waitMs * 1000L);
        return 0;
    }
    int queued = 0;
    if (!Queued(&queued)) return -1;
    if (waitMs > 0) {
        if (queued == 0) {
            pollfd p{fd_, POLLIN, 0};
            int ready = poll(&p, 1, waitMs);
            if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) lost_ = true;
            if (!Queued(&queued)) return -1;
        } else if (queued == lastCount_) {
            // Part of a reply is in; poll() cannot wait for the rest, so
            // pause for about one byte's time at 57600 baud.
            SleepMicroseconds(std::min(200L, waitMs * 1000L));
            if (!Queued(&queued)) return -1;
        }
    }
    lastCount_ = queued;
    return queued;
}

int SerialPort::ReadData(uint8_t* buffer, int max) {
    if (!IsOpen() || max <= 0) return 0;
    int queued = 0;
    if (!Queued(&queued) || queued <= 0) return 0;
    ssize_t n = read(fd_, buffer, static_cast<size_t>(std::min(queued, max)));
    if (n <= 0) {
        // Queued bytes that cannot be read: the line is gone.
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) lost_ = true;
        return 0;
    }
    lastCount_ = std::max(0, lastCount_ - static_cast<int>(n));
    return static_cast<int>(n);
}

#endif

}  // namespace orbik::link
