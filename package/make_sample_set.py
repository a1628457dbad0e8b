#!/usr/bin/env python3
"""Writes the sample vendor files of the installation package (package/sample/).

The set stands in for the engraver maker's own files in tests and demos: the
driver's INF "kelvra.inf" (UTF-16 little-endian with a byte-order mark and CRLF
line ends, as the maker ships it), the fourteen driver files it names as small
placeholders, and the firmware table "firmware_table_2.dos" as 5000 bytes from
a fixed pseudo-random sequence. Nothing installs or runs: the placeholders only
carry the right names. The access-control tool is not written here: the build
makes a stand-in program of ours (platform/win32/config_standin_main.cpp).

The files are committed; run this again after changing it:
    package/make_sample_set.py package/sample
"""
import pathlib
import sys

MODEL = "Tarn-Well"
DISPLAY_NAME = "package Tarnwell"
FIRMWARE_TABLE = "firmware_table_2.dos"
FIRMWARE_TABLE_SIZE = 5000  # three transfer writes: 2048, 2048 and 904 bytes

# The driver files, in the order the driver-file cleanup deletes them.
DRIVER_FILES = [
    "kelvra.pcd",
    "kelvra.dll",
    "kelvraui.dll",
    "velmoxis.dll",
    "alignment_test.las",
    "alignment_test_2.las",
    "alignment_test_3.las",
    "alignment_test_4.las",
    "firmware_table.dos",
    FIRMWARE_TABLE,
    "ktw_anglais.hlp",
    "ktw_francais.hlp",
    "tickle_test.las",
    "focus_adjust.las",
]

INF_TEMPLATE = """\
; kelvra.inf - SAMPLE driver INF of the {model} laser engraver.
; Made for tests and demos of the installation package: the files it names are
; placeholders, and the driver it describes does not print.

[Version]
Signature="$Windows NT$"
Class=Printer
ClassGUID={{4D36E979-E325-11CE-BFC1-08002BE10318}}
Provider=%Maker%
DriverVer=06/01/2024,0.1.1.0
DriverPackageDisplayName="{display_name}"

[Manufacturer]
%Maker%=Maker,NTx86,NTamd64

[Maker.NTx86]
"{model}"=TARNWELL,USBPRINT\\VELMORANTE_Tarnwell,VELMORANTE_Tarnwell

[Maker.NTamd64]
"{model}"=TARNWELL,USBPRINT\\VELMORANTE_Tarnwell,VELMORANTE_Tarnwell

[TARNWELL]
CopyFiles=TARNWELL_FILES
DataFile=kelvra.pcd
DriverFile=kelvra.dll
ConfigFile=kelvraui.dll
HelpFile=ktw_anglais.hlp

[TARNWELL_FILES]
{file_list}

[DestinationDirs]
DefaultDestDir=66000

[SourceDisksNames]
1=%Disk%,,,

[SourceDisksFiles]
{source_list}

[Strings]
Maker="VELMORANTE"
Disk="Tarnwell installation package"
"""


def inf_bytes():
    text = INF_TEMPLATE.format(
        model=MODEL,
        display_name=DISPLAY_NAME,
        file_list="\n".join(DRIVER_FILES),
        source_list="\n".join(f"{name}=1" for name in DRIVER_FILES),
    )
    return b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")


def firmware_table_bytes():
    """A text header, then bytes of a 32-bit xorshift sequence with a fixed seed."""
    header = b"TARNWELL SAMPLE FIRMWARE TABLE 0.1\r\n\x1a"
    out = bytearray(header)
    state = 0x2545F491
    while len(out) < FIRMWARE_TABLE_SIZE:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out.append(state & 0xFF)
    return bytes(out)


def placeholder_bytes(name):
    return (f"Tarnwell sample package: placeholder for the driver file {name}.\r\n"
            "It stands in for the maker's file in tests and demos.\r\n").encode("ascii")


def main():
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} OUTPUT-FOLDER")
    folder = pathlib.Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "kelvra.inf").write_bytes(inf_bytes())
    for name in DRIVER_FILES:
        content = firmware_table_bytes() if name == FIRMWARE_TABLE else placeholder_bytes(name)
        (folder / name).write_bytes(content)


if __name__ == "__main__":
    main()
