#!/usr/bin/env python3
"""rfb_frame.py PORT X,Y ...: connects to the VNC server on localhost:PORT
as a room view would (RFB 3.8, no authentication, shared), asks for one
whole framebuffer update in raw encoding, and prints the screen's size and
the colour of each given pixel as "WxH" then "X,Y RRGGBB" lines."""
import socket
import struct
import sys


def main():
    port = int(sys.argv[1])
    points = [tuple(int(v) for v in p.split(",")) for p in sys.argv[2:]]
    s = socket.create_connection(("127.0.0.1", port), timeout=20)

    def recv(n):
        buf = b""
        while len(buf) < n:
            chunk = s.recv(n - len(buf))
            if not chunk:
                raise EOFError("the server closed the connection")
            buf += chunk
        return buf

    version = recv(12)
    if not version.startswith(b"RFB "):
        raise SystemExit("not an RFB server: %r" % version)
    s.sendall(b"RFB 003.008\n")
    types = recv(recv(1)[0])
    if 1 not in types:
        raise SystemExit("the server wants authentication: %r" % list(types))
    s.sendall(b"\x01")
    if struct.unpack(">I", recv(4))[0] != 0:
        raise SystemExit("security handshake failed")
    s.sendall(b"\x01")  # shared: other viewers stay
    width, height = struct.unpack(">HH", recv(4))
    recv(16)  # the server's pixel format, replaced below
    recv(struct.unpack(">I", recv(4))[0])  # the desktop's name
    # 32 bits a pixel, true colour, red at bit 16, green at 8, blue at 0.
    s.sendall(struct.pack(">B3xBBBBHHHBBB3x", 0, 32, 24, 0, 1, 255, 255, 255, 16, 8, 0))
    s.sendall(struct.pack(">BxHi", 2, 1, 0))  # raw encoding only
    s.sendall(struct.pack(">BBHHHH", 3, 0, 0, 0, width, height))
    frame = bytearray(width * height * 4)
    covered = 0
    while covered < width * height:
        kind = recv(1)[0]
        if kind == 0:  # FramebufferUpdate
            recv(1)
            for _ in range(struct.unpack(">H", recv(2))[0]):
                x, y, w, h, encoding = struct.unpack(">HHHHi", recv(12))
                if encoding != 0:
                    raise SystemExit("unexpected encoding %d" % encoding)
                data = recv(w * h * 4)
                for row in range(h):
                    at = ((y + row) * width + x) * 4
                    frame[at:at + w * 4] = data[row * w * 4:(row + 1) * w * 4]
                covered += w * h
        elif kind == 2:  # Bell
            pass
        elif kind == 3:  # ServerCutText
            recv(3)
            recv(struct.unpack(">I", recv(4))[0])
        else:
            raise SystemExit("unexpected message %d" % kind)
    print("%dx%d" % (width, height))
    for x, y in points:
        pixel = struct.unpack("<I", frame[(y * width + x) * 4:(y * width + x) * 4 + 4])[0]
        print("%d,%d %06x" % (x, y, pixel & 0xFFFFFF))


if __name__ == "__main__":
    main()
