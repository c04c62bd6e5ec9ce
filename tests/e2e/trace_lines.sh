# Sourced by the end-to-end tests after lib.sh: builders of the trace lines
# that SetProp, GetProp and displayRetVal write, for expected reports.
# TAB-separated argument lines keep their labels' trailing blanks.

dashes() { printf '\t%s\n' "------------------------------------------------------------"; }

# arg LABEL VALUE: TAB label TAB value.
arg() { printf '\t%s\t%s\n' "$1" "$2"; }

# returned VALUE...: what displayRetVal writes for an array.
returned() {
    printf '\tReturned values:\n'
    local v
    for v in "$@"; do printf '\t\t%s\n' "$v"; done
}

# set_a PROP PHASE CALC BASIS ID VALUE [ID VALUE]...: SetProp with compIds
# and values both arrays, seven lines per identifier.
set_a() {
    local prop="$1" phase="$2" calc="$3" basis="$4"
    shift 4
    header ICapeThermoMaterialObject_SetProp
    while [ $# -ge 2 ]; do
        arg "Prop         " "$prop"
        arg "Phase       " "$phase"
        arg "CompIds   " "$1"
        arg "CalcType" "$calc"
        arg "Basis        " "$basis"
        arg "Values      " "$2"
        dashes
        shift 2
    done
}

# set_b PROP PHASE COMPIDS CALC BASIS VALUE: SetProp with a value that is no array.
set_b() {
    header ICapeThermoMaterialObject_SetProp
    arg "Prop       " "$1"
    arg "Phase    " "$2"
    arg "CompIds" "$3"
    arg "CalcType" "$4"
    arg "Basis     " "$5"
    arg "Values   " "$6"
    dashes
}

# set_c PROP PHASE CALC BASIS: SetProp for all components, up to its
# "Values" line; the value lines and the dashes follow separately.
set_c() {
    header ICapeThermoMaterialObject_SetProp
    arg "Prop       " "$1"
    arg "Phase    " "$2"
    arg "CompIds   " "All components"
    arg "CalcType" "$3"
    arg "Basis     " "$4"
    printf '\tValues\n'
}
# value_line NAME VALUE: one value line of set_c ("All" for a single value).
value_line() {
    if [ "$1" = All ]; then printf '\t\tAll :\t%s\n' "$2"; else printf '\t\t%s:\t%s\n' "$1" "$2"; fi
}

# get_all PROP PHASE CALC BASIS: GetProp for all components.
get_all() {
    header ICapeThermoMaterialObject_GetProp
    arg "Prop      " "$1"
    arg "Phase    " "$2"
    arg "CompIds" "All components"
    arg "CalcType" "$3"
    arg "basis      " "$4"
    dashes
}

# get_ids PROP PHASE CALC BASIS ID...: GetProp with a list of identifiers.
get_ids() {
    local prop="$1" phase="$2" calc="$3" basis="$4"
    shift 4
    header ICapeThermoMaterialObject_GetProp
    local id
    for id in "$@"; do
        arg "Prop         " "$prop"
        arg "Phase      " "$phase"
        arg "CompIds" "$id"
        arg "CalcType" "$calc"
        arg "basis        " "$basis"
        dashes
    done
}

# not_administered PROP: the line before error 2.
not_administered() {
    printf '\tError: Invalid Call to the Material Object. %s is not administered by the MO and you should never call it.\n' "$1"
}

# count_messages TEXT: how many message boxes korvid-autofill answered with TEXT.
count_messages() { grep -cxF "message: $1" "$WORK/autofill.txt" || true; }
