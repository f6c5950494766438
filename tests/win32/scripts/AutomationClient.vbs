' A late-bound automation client without any container: creates the page by its ProgID and
' calls it through IDispatch by name, as a script host does. The script's variables go by
' reference and receive the results; values in parentheses go by value.
Option Explicit
Dim page, table(2, 3), path, list, version, row
Set page = CreateObject("varkel.varkel1")
WScript.Echo "unsaved=" & page.ControlHasUnsavedChanges()
WScript.Echo "delimiter=" & page.ControlRequestedCommandLineDelimeter()
table(0, 0) = "-ch" : table(1, 0) = "" : table(2, 0) = 0
table(0, 1) = "/ITDELIM" : table(1, 1) = "a" : table(2, 1) = 0
table(0, 2) = "/PS" : table(1, 2) = "1" : table(2, 2) = 0
table(0, 3) = "/QS" : table(1, 3) = "2" : table(2, 3) = 0
path = "C:\Interfaces\D3"
WScript.Echo "loaded by value=" & page.LoadDefaults((table), (path))
WScript.Echo "loaded=" & page.LoadDefaults(table, path) & " " & table(0, 0)
WScript.Echo "unsaved after load=" & page.ControlHasUnsavedChanges()
ReDim list(1, 0)
WScript.Echo "saved=" & page.GetAllArgumentsSafeArray(list)
For row = 0 To UBound(list, 2)
    WScript.Echo list(0, row) & "=" & list(1, row)
Next
' A copy of the list (in parentheses) could not take the rows: refused as a type mismatch.
On Error Resume Next
page.GetAllArgumentsSafeArray (list)
WScript.Echo "saved by value=" & Err.Number
WScript.Echo "version=" & page.GetInterfaceVersion(version) & " " & version
Set page = Nothing
WScript.Echo "done"
