' The demo host session: a process-simulation host creates the test material
' object, asks who it is and releases it. Every call lands in the trace report.
Option Explicit
Dim mo
On Error Resume Next
Set mo = CreateObject("Korvid.Tessel")
If Err.Number <> 0 Then
    WScript.Echo "Creation failed: " & Err.Number & " " & Err.Description
    WScript.Quit 1
End If
On Error GoTo 0
WScript.Echo "ComponentName:        " & mo.ComponentName
WScript.Echo "ComponentDescription: " & mo.ComponentDescription
mo.ComponentName = "Feed of the unit under test"
mo.ComponentDescription = "Material object handed to the unit by the demo host"
WScript.Echo "Renamed to:           " & mo.ComponentName
WScript.Echo "Components:           " & mo.m_num
Set mo = Nothing
WScript.Quit 0
