#!/usr/bin/env python3
"""Loopback report listener for the wizard tests.

  report-listener.py listen PORT FILE   append each datagram to FILE as a line
                                        "length app channel update date version"
"""
import socket
import struct
import sys


def describe(data):
    if len(data) != 98:
        return "%d - - - - -" % len(data)
    app, channel = struct.unpack_from("<ii", data, 20)
    version = data[28:60].split(b"\0", 1)[0].decode("ascii", "replace")
    date = struct.unpack_from("<i", data, 93)[0]
    return "%d %d %d %d %d %s" % (len(data), app, channel, data[97], date, version)


def main():
    if len(sys.argv) != 4 or sys.argv[1] != "listen":
        sys.stderr.write(__doc__)
        return 2
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", int(sys.argv[2])))
    while True:
        data, _ = sock.recvfrom(2048)
        with open(sys.argv[3], "a") as f:
            f.write(describe(data) + "\n")


if __name__ == "__main__":
    sys.exit(main())
