' Shared by the VBScript clients. Wine's cscript swallows script errors, so
' every statement runs on after an error, and Show prints what the statement
' before it did: its error (number | source | description), or the type and
' value of r. The script engine cannot index typed arrays: displayRetVal lists
' them in the report. The test compares the printout and the report with the
' expected ones.
Option Explicit
On Error Resume Next
Dim mo, r, shown : shown = 0

Sub Show(what)
    Dim number, source, description
    number = Err.Number : source = Err.Source : description = Err.Description
    On Error Resume Next
    shown = shown + 1
    If number <> 0 Then
        WScript.Echo shown & " " & what & ": error " & number & " | " & source & " | " & description & " (r " & TypeName(r) & ")"
    ElseIf VarType(r) >= vbArray Then
        WScript.Echo shown & " " & what & ": array " & VarType(r)
        mo.displayRetVal r
        If Err.Number <> 0 Then WScript.Echo "  displayRetVal: error " & Err.Number & " | " & Err.Description
    ElseIf IsObject(r) Then
        WScript.Echo shown & " " & what & ": object " & TypeName(r)
    Else
        WScript.Echo shown & " " & what & ": " & TypeName(r) & " " & r
    End If
    Err.Clear
    If IsObject(r) Then Set r = Nothing
    r = Empty
End Sub
