@echo off
rem Converts the ILD files named as arguments (Explorer names those dropped on this
rem file) and those directly in the folders named, each to an .ogg beside it, with
rem brindlewood_orvo_audio.exe from this file's folder. An existing .ogg is skipped,
rem never touched, because the converter removes its output path when a run fails.
rem
rem Names are expanded once, inside quotes, with delayed expansion off, so that
rem ! % ^ & ( ) in them stay as they are: a named file through a variable, the files
rem of a folder only as FOR variables (Wine's cmd, unlike Windows', expands a % in a
rem variable's value again).
setlocal DisableDelayedExpansion
set "exe=%~dp0brindlewood_orvo_audio.exe"
set /a converted=0, failed=0, skipped=0
if not exist "%exe%" goto missing_exe
if "%~1"=="" goto usage

:next_argument
if "%~1"=="" goto summary
set "argument=%~f1"
call :convert_argument
shift
goto next_argument

:summary
echo.
echo %converted% converted, %failed% failed, %skipped% skipped
pause
if %failed% gtr 0 exit /b 1
exit /b 0

rem Names reach subroutines in variables: CALL would expand % in them once more.
:convert_argument
if exist "%argument%\*" goto convert_folder
set files="%argument%"
goto convert_files

rem A folder's files are listed from inside it, as Wine's cmd finds none for a quoted
rem wildcard. When it cannot be entered, nothing else may be converted instead:
rem "(call )" clears ERRORLEVEL first, so that only a failing PUSHD sets it.
:convert_folder
(call )
pushd "%argument%"
if errorlevel 1 exit /b
set "files=*.ild"
call :convert_files
popd
exit /b

rem The wildcard also matches longer extensions, through short 8.3 names.
:convert_files
for %%f in (%files%) do (
    <nul set /p "=%%~ff: "
    if /i not "%%~xf"==".ild" (
        call :skip "not an .ild file"
    ) else if exist "%%~dpnf.ogg" (
        call :skip "its .ogg exists already"
    ) else (
        "%exe%" "%%~ff" "%%~dpnf.ogg" 2>&1
        call :count
    )
)
exit /b

:count
set "status=%errorlevel%"
if %status% equ 0 (set /a converted+=1) else set /a failed+=1
rem Other statuses come from Windows, after a crash for instance, with no line.
if %status% neq 0 if %status% neq 1 echo ended with status %status%
exit /b

:skip
echo skipped, %~1
set /a skipped+=1
exit /b

:usage
echo Drop ILD files or folders on convert-all.bat, or run it as
echo   convert-all.bat D:\Rips\theme.ild "D:\My Music"
pause
exit /b 2

:missing_exe
echo brindlewood_orvo_audio.exe is missing: keep it in the folder of convert-all.bat.
pause
exit /b 1
