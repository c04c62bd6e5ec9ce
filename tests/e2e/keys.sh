# Sourced by the end-to-end tests that look at registry keys: the keys of each
# DLL of ours as `dump` in lib.sh lists them ($keys, with the type library's
# version key $lib listed without its subkeys' content).

# Korvid.dll: the 0.9 class ($clsid), its type library ($lib) and interfaces
# (ICapeIdentification's key: $ident), and the 1.1 class ($clsid11) beside it,
# registered and removed by the same calls.
korvid_keys() {
    clsid='{B7F98B4C-E47C-4821-ABA9-A462547124BB}' lib='HKCR\TypeLib\{A0E3B237-872B-447D-A343-A7D418B7FE77}\1.0'
    ident='HKCR\Interface\{678C0990-7D66-11D2-A67D-00105A42887F}'
    clsid11='{3E8D6A52-91C4-4B7F-A0D3-6F25C81B9E07}' lib11='HKCR\TypeLib\{5C4B0E1D-7A35-4E8F-9C61-2B7D3F0A8E42}\1.0\0'
    keys=('HKCR\Korvid.Tessel' "HKCR\\CLSID\\$clsid" "$lib" "$lib\\0\\win$bits"
          'HKCR\Interface\{91662CFF-B8FF-4B1A-B4DF-5A62AFEED1E9}' 'HKCR\Interface\{678C0994-7D66-11D2-A67D-00105A42887F}' "$ident"
          'HKCR\Korvid.Material' "HKCR\\CLSID\\$clsid11" "$lib11\\win$bits" 'HKCR\Interface\{678C0A9B-7D66-11D2-A67D-00105A42887F}')
}

# KorvidSampleUnit.dll: the class, type library and the interfaces it claims.
sample_unit_keys() {
    clsid='{131D0C75-548C-4316-B6C8-797D7C73A288}' lib='HKCR\TypeLib\{8E2643F9-43B5-4282-92DE-5452B19899F5}\1.0'
    keys=('HKCR\Korvid.SampleFlashDrum' "HKCR\\CLSID\\$clsid" "$lib" "$lib\\0\\win$bits")
    for iid in 0998-0100 0999-0093 099A-0093 0A9B-0100 0990-7D66 09A0-0093 099C-0093 099D-0093 \
               0B10-7D66 0B11-7D66 0B12-7D66; do
        keys+=("HKCR\\Interface\\{678C${iid%-*}-${iid#*-}-11D2-A67D-00105A42887F}")
    done
}
