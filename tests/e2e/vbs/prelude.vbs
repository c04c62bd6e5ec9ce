' Shared by the VBScript clients: checks that print what they expected and
' what they got, and an end marker whose absence means the script stopped.
Option Explicit
On Error Resume Next
Dim failures : failures = 0

Sub Check(condition, what)
    If condition Then
        WScript.Echo "ok: " & what
    Else
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Sub CheckEqual(actual, expected, what)
    Check actual = expected, what & " (expected [" & expected & "], got [" & actual & "])"
End Sub

' The last call raised exactly this error; clears it.
Sub CheckError(number, source, description, what)
    CheckEqual Err.Number, number, what & ": Err.Number"
    CheckEqual Err.Source, source, what & ": Err.Source"
    CheckEqual Err.Description, description, what & ": Err.Description"
    Err.Clear
End Sub

Sub CheckNoError(what)
    If Err.Number <> 0 Then
        Check False, what & ": unexpected error " & Err.Number & " " & Err.Source & " " & Err.Description
        Err.Clear
    End If
End Sub

Sub Finish()
    WScript.Echo "END failures=" & failures
    If failures > 100 Then failures = 100
    WScript.Quit failures
End Sub
