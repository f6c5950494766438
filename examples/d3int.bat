@echo off
REM Start-up file of the QX interface for the GSE D/3 DBA, instance d3int.
REM The configuration host rewrites the command line below; every other line
REM of this file stays as it is.

"C:\Program Files\QX\Interfaces\D3\d3int.exe" /CH /DB=5 /HW /ITDELIM=; /PS=1 /NOSERVICE /SITE="North Plant"
