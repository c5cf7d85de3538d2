#!/usr/bin/python3
# Prints a free port on 127.0.0.1: freeport.py tcp|udp
import socket, sys
kind = socket.SOCK_DGRAM if sys.argv[1:] == ["udp"] else socket.SOCK_STREAM
s = socket.socket(socket.AF_INET, kind)
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
