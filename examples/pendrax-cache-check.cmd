@echo off
rem pendrax-cache-check.cmd [PERCENT]
rem
rem For the fleet's management system to run on each terminal: asks the write
rem filter panel for the state of the write filter (Pendrax.exe /q) and prints
rem one line that starts with
rem   OVER       the cache is used PERCENT or more (80 unless given)
rem   OK         the cache is used less than that
rem   NO FIGURES the write filter gives none (DISABLED, FAILED to load, NOT
rem              ACCESSIBLE): the line names the state
rem   ERROR      Pendrax.exe did not run or reported nothing, or PERCENT is
rem              not a whole number (then Pendrax.exe is not run)
rem Set PENDRAX to the full path of Pendrax.exe when it is neither in the
rem current folder nor on the PATH.
rem
rem Run from a batch file, as here, cmd waits for a windows program such as
rem Pendrax.exe, passes it the redirection and puts its exit status in
rem ERRORLEVEL. At an interactive prompt cmd waits for neither.

setlocal
set threshold=%1
if "%threshold%"=="" set threshold=80
rem GEQ compares as text when either side is not a number: "abc" would never
rem be reached and the cache would read OK however full it is.
for /f "delims=0123456789" %%d in ("%threshold%") do goto badthreshold
rem And a leading 0 makes it octal (010 is 8) or, as 080, no number at all.
rem Only zeros leave nothing to strip to: 0.
for /f "tokens=* delims=0" %%d in ("%threshold%") do set threshold=%%d& goto checked
set threshold=0
:checked
if "%PENDRAX%"=="" set PENDRAX=Pendrax.exe
set report=%TEMP%\pendrax-q.txt
if exist "%report%" del "%report%"

"%PENDRAX%" /q > "%report%"
set status=%ERRORLEVEL%

rem Each line NAME=VALUE becomes the variable q_NAME. The file is read through
rem "type", which takes a quoted name: %TEMP% may hold blanks, and NT 4.0's
rem for /f has no usebackq.
set q_state=
set q_cacheUsePercent=
if exist "%report%" for /f "tokens=1,* delims==" %%a in ('type "%report%"') do set q_%%a=%%b
del "%report%" 2>nul

if "%q_state%"=="" goto failed
rem 10 ACTIVE and 11 INACTIVE come with figures; 12, 13 and 14 without.
if "%q_cacheUsePercent%"=="" goto nofigures
if %q_cacheUsePercent% GEQ %threshold% goto over
echo OK %q_cacheUsePercent%%% of the write filter's cache in use (threshold %threshold%%%): %q_state%
goto end

:over
echo OVER %q_cacheUsePercent%%% of the write filter's cache in use (threshold %threshold%%%), %q_blocksInUse% of %q_blocksTotal% blocks: %q_state%
goto end

:nofigures
echo NO FIGURES (exit status %status%): %q_state%
goto end

:failed
echo ERROR %PENDRAX% /q reported nothing (exit status %status%)
goto end

:badthreshold
echo ERROR the threshold %threshold% is not a whole number of percent

:end
endlocal
