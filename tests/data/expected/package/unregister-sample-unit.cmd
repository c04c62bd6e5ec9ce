@echo off
rem Unregisters the 64-bit KorvidSampleUnit.dll beside this script,
rem with the regsvr32 of its bitness. Run it as administrator: the class is
rem registered for every user of the machine. Arguments go to regsvr32 (/s: silent).
setlocal
set "dll=%~dp0KorvidSampleUnit.dll"
rem The 64-bit regsvr32: System32 of a 64-bit command prompt; a 32-bit one
rem sees SysWOW64 under that name and reaches the 64-bit folder as Sysnative.
if "%PROCESSOR_ARCHITECTURE%"=="x86" if not defined PROCESSOR_ARCHITEW6432 (
    echo This is the 64-bit Korvid and this Windows is 32-bit: use the win32 package. 1>&2
    exit /b 1
)
set "regsvr32=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "regsvr32=%SystemRoot%\Sysnative\regsvr32.exe"

"%regsvr32%" %* /u "%dll%"
set "code=%errorlevel%"
if not "%code%"=="0" echo regsvr32 ended with code %code%. Run this script as administrator. 1>&2
exit /b %code%
