#!/usr/bin/env python3
# varkel-check's SARIF log against the SARIF 2.1.0 JSON schema (sarif-2.1.0.json beside this
# file: the schema's MIT-licensed text, compacted to one line because it is data), then the same
# log broken, which the validator must refuse: a validator that accepts anything fails here.
#   SarifLogTest.py SCHEMA PROGRAM ARGUMENT...   (the files given must hold every kind of finding)
import copy
import json
import subprocess
import sys

from jsonschema import Draft202012Validator

with open(sys.argv[1], encoding="utf-8") as schema:
    validator = Draft202012Validator(json.load(schema))
log = json.loads(subprocess.run(sys.argv[2:], capture_output=True, check=False).stdout)
failures = [f"the log does not validate: {error.json_path}: {error.message}"
            for error in validator.iter_errors(log)]
rules = {rule["id"] for rule in log["runs"][0]["tool"]["driver"]["rules"]}
seen = {result["ruleId"] for result in log["runs"][0]["results"]}
# Loading puts every spelling of a page switch into its field, so no file gives one twice.
no_file_gives = {"switch-twice"}
if rules - no_file_gives != seen:
    failures.append(f"rules without a result: {sorted(rules - no_file_gives - seen)}; "
                    f"unknown: {sorted(seen - rules)}")
damages = {  # the first result lies on a command line
    "a level SARIF does not know": lambda run: run["results"][0].update(level="fatal"),
    "a run without its tool": lambda run: run.pop("tool"),
    "a result on line 0": lambda run: run["results"][0]["locations"][0]["physicalLocation"][
        "region"].update(startLine=0)}
for damage, make in damages.items():
    broken = copy.deepcopy(log)
    make(broken["runs"][0])
    if validator.is_valid(broken):
        failures.append(f"a log with {damage} validates")
print("\n".join(failures) or f"valid; {len(seen)} rules seen, each broken log refused")
sys.exit(1 if failures else 0)
