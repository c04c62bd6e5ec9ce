' Shared by the VBScript clients. Every statement runs on after an error (Wine's
' cscript would swallow it); Show prints what the one before it did: its error,
' or the type and value of r; displayRetVal lists typed arrays in the report.
Option Explicit
On Error Resume Next
Dim mo, r, shown : shown = 0

Sub Show(what)
    Dim number : number = Err.Number
    Dim text : text = number & " | " & Err.Source & " | " & Err.Description
    On Error Resume Next
    shown = shown + 1
    If number <> 0 Then
        WScript.Echo shown & " " & what & ": error " & text & " (r " & TypeName(r) & ")"
    ElseIf VarType(r) >= vbArray Then
        WScript.Echo shown & " " & what & ": array " & VarType(r)
        mo.displayRetVal r
        If Err.Number <> 0 Then WScript.Echo "  displayRetVal: error " & Err.Number & " | " & Err.Description
    Else
        WScript.Echo shown & " " & what & ": " & TypeName(r) & " " & r
    End If
    Err.Clear
    r = Empty
End Sub
