@echo off
rem The test kit's one command: runs every case of tickrail.dll on this
rem Windows, in a classic console window, and writes tickrail-tests.log and
rem tickrail-tests.xml (JUnit) beside itself. The log begins with the
rem machine and ends with "windows: N passed, N failed"; the exit code is 1
rem when a case fails. Arguments go to the test program, for example
rem --gtest_filter=Registry.* to run some of the cases.
setlocal
set "KIT=%~dp0"
set "PROGRAM=%KIT%standin\tickrail_tests.exe"
if not exist "%PROGRAM%" (
    echo run-tests.cmd: standin\tickrail_tests.exe is missing: unpack the whole kit.
    exit /b 1
)
rem Under a pseudo console (Windows Terminal, Windows 11's default) there is
rem no console window to draw on: start once more, in conhost's own window.
if not defined TICKRAIL_KIT_CLASSIC (
    "%PROGRAM%" --console-host >nul
    if errorlevel 2 if not errorlevel 3 goto relaunch
)
del "%KIT%tickrail-tests.log" 2>nul
pushd "%KIT%"
"%PROGRAM%" --kit --gtest_output=xml:tickrail-tests.xml %*
set RESULT=%ERRORLEVEL%
popd
if %RESULT% GTR 1 (
    rem Ended before its summary: say so as the log's last line.
    "%PROGRAM%" --summary
    exit /b 1
)
exit /b %RESULT%

:relaunch
set TICKRAIL_KIT_CLASSIC=1
del "%KIT%tickrail-tests.log" 2>nul
echo The cases need a classic console window: they run in a conhost window of their own.
start "Tickrail tests" /wait conhost.exe cmd /c ""%~f0" %*"
"%PROGRAM%" --summary
exit /b %ERRORLEVEL%
