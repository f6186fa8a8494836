# shellcheck shell=bash disable=SC2034
# Sourced by the recipes that join: sets the array `data` to the --data option found among the
# arguments (capture's options), empty when there is none, for the join to take the data the
# parts were drawn from.
data=()
data_arguments=("$@")
for ((i = 0; i < ${#data_arguments[@]}; i++)); do
  case ${data_arguments[i]} in
    --data) data=(--data "${data_arguments[i + 1]:-}") ;;
    --data=*) data=("${data_arguments[i]}") ;;
  esac
done
