@echo off
rem Unregisters the 32-bit KorvidSampleUnit.dll beside this script,
rem with the regsvr32 of its bitness. Run it as administrator: the class is
rem registered for every user of the machine. Arguments go to regsvr32 (/s: silent).
setlocal
set "dll=%~dp0KorvidSampleUnit.dll"
rem The 32-bit regsvr32: SysWOW64 on 64-bit Windows, System32 on 32-bit Windows.
set "regsvr32=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "regsvr32=%SystemRoot%\SysWOW64\regsvr32.exe"

"%regsvr32%" %* /u "%dll%"
set "code=%errorlevel%"
if not "%code%"=="0" echo regsvr32 ended with code %code%. Run this script as administrator. 1>&2
exit /b %code%
