#!/usr/bin/env python3
"""Prints "shown" or "hidden": whether the X server's current cursor image has
any opaque pixel. Uses libX11 and libXfixes (which Wine's X11 driver needs too)
through ctypes, so no build step is required."""
import ctypes


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def main():
    x11 = ctypes.CDLL("libX11.so.6")
    xfixes = ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise SystemExit("no display")
    image = xfixes.XFixesGetCursorImage(display)
    if not image:
        raise SystemExit("no cursor image")
    cursor = image.contents
    opaque = any((cursor.pixels[i] >> 24) & 0xFF for i in range(cursor.width * cursor.height))
    x11.XFree(image)
    x11.XCloseDisplay(display)
    print("shown" if opaque else "hidden")


if __name__ == "__main__":
    main()
