' A late-bound automation client without any container: creates the page by its ProgID and
' calls it through IDispatch by name, as a script host does. Arguments go by value (in
' parentheses): a script's variables are variants, which the typed by-reference parameters
' do not take.
Option Explicit
Dim page, table(2, 1), path
Set page = CreateObject("varkel.varkel1")
WScript.Echo "unsaved=" & page.ControlHasUnsavedChanges()
WScript.Echo "delimiter=" & page.ControlRequestedCommandLineDelimeter()
table(0, 0) = "-ch" : table(1, 0) = "" : table(2, 0) = 0
table(0, 1) = "/PS" : table(1, 1) = "1" : table(2, 1) = 0
path = "C:\Interfaces\D3"
WScript.Echo "loaded=" & page.LoadDefaults((table), (path))
WScript.Echo "unsaved after load=" & page.ControlHasUnsavedChanges()
Set page = Nothing
