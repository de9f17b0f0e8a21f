"""Reads back what the Windows build made, as Windows would read it.

check_files.py VERSION BRINDAQ_EXE BRINDAQ_CLI_EXE PORTABLE_ZIP

- the version record of both programs: every field, its language and code page, and its fixed
  version;
- its icon and manifest, and that no resource after the version record is marked Italian;
- the DLLs that each program imports: only those that come with Windows;
- the portable zip: its files, sorted, all with one time and no extra fields.
Prints every failed check and exits with 1 if there was one. Needs python3-pefile.
"""

import sys
import zipfile

import pefile

version, window, cli, portable = sys.argv[1:5]
failures = []


def check(passed, what):
    if not passed:
        failures.append(what)
        print(f"FAILED: {what}")


def version_record(image):
    strings, tables, translations = {}, [], []
    for info in image.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables.append(table.LangID.decode())
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations.append(var.entry[b"Translation"])
    return strings, tables, translations


window_image = pefile.PE(window)
cli_image = pefile.PE(cli)
major, minor = (int(part) for part in version.split("."))
for image, name in ((window_image, "brindaq.exe"), (cli_image, "brindaq-cli.exe")):
    strings, tables, translations = version_record(image)
    for field, value in sorted(strings.items()):
        print(f"{name} {field}: {value}")
    print(f"{name} block: {', '.join(tables)}; translation: {', '.join(translations)}")
    check(strings == {
        "CompanyName": "TORVASK",
        "FileDescription": "QUARVEL",
        "FileVersion": version,
        "InternalName": "brindaq",
        "OriginalFilename": name,
        "ProductName": "brindaq",
        "ProductVersion": version,
    }, f"{name}: the version record's fields: {strings}")
    check(tables == ["041004B0"], f"{name}: one block, Italian with the Unicode code page: {tables}")
    check(translations == ["0x0410 0x04b0"], f"{name}: the translation: {translations}")
    fixed = image.VS_FIXEDFILEINFO[0]
    for field in ("FileVersion", "ProductVersion"):
        check((getattr(fixed, field + "MS"), getattr(fixed, field + "LS")) == (major << 16 | minor, 0),
              f"{name}: the fixed {field}")
    check((fixed.FileOS, fixed.FileType) == (0x40004, 1),
          f"{name}: an application for 32- and 64-bit Windows")

# Resource types and the languages they are marked with.
resources = {}
for kind in window_image.DIRECTORY_ENTRY_RESOURCE.entries:
    for entry in kind.directory.entries:
        for language in entry.directory.entries:
            resources.setdefault(kind.id, set()).add(language.id)
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
check(resources.get(RT_VERSION) == {0x0410}, "the version record is marked Italian")
for kind in (RT_ICON, RT_GROUP_ICON, RT_MANIFEST):
    check(resources.get(kind) == {0}, f"resource type {kind} is there, marked neutral")
manifest = [e for e in window_image.DIRECTORY_ENTRY_RESOURCE.entries if e.id == RT_MANIFEST]
if manifest:
    data = manifest[0].directory.entries[0].directory.entries[0].data.struct
    text = window_image.get_data(data.OffsetToData, data.Size).decode()
    check("PerMonitorV2" in text and ">UTF-8<" in text and "Common-Controls" in text,
          "the manifest asks for per-monitor dpi, UTF-8 and Common Controls 6")

WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll"}
for path, image in ((window, window_image), (cli, cli_image)):
    dlls = sorted(entry.dll.decode().lower() for entry in image.DIRECTORY_ENTRY_IMPORT)
    print(f"{path.rsplit('/', 1)[-1]} imports {', '.join(dlls)}")
    check(set(dlls) <= WINDOWS_DLLS, f"{path} imports only DLLs of Windows: {dlls}")

with zipfile.ZipFile(portable) as archive:
    entries = archive.infolist()
    names = [entry.filename for entry in entries]
    check(names == ["README.txt", "brindaq-cli.exe", "brindaq.exe"], f"the zip's files: {names}")
    check(len({entry.date_time for entry in entries}) == 1, "one time for every file")
    check(all(entry.extra == b"" for entry in entries), "no extra fields")
    check(b"\r\n" in archive.read("README.txt"), "README.txt has Windows line ends")

print(f"{len(failures)} failed")
sys.exit(1 if failures else 0)
