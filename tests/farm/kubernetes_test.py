#!/usr/bin/env python3
"""farm/kubernetes without a cluster (none is reachable here): the manifests' structure as far
as it can be checked (an Indexed Job whose parts number its completions, a join Job, both on
one shared claim of ReadWriteMany, mounted where OUT lies), then the pods' own commands run
here as the cluster would run them, with JOB_COMPLETION_INDEX set for each pod, the volume a
temporary folder and a short capture's settings in the manifest's environment: the joined
video must be the capture of the same settings in one piece.

    tests/farm/kubernetes_test.py BUILD
"""
import hashlib
import os
import shlex
import subprocess
import sys
import tempfile

import yaml

FARM = os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "..", "farm", "kubernetes")


def fail(message):
    sys.exit("FAIL: " + message)


def check(condition, message):
    if not condition:
        fail(message)


def documents(name):
    with open(os.path.join(FARM, name)) as stream:
        return [document for document in yaml.safe_load_all(stream) if document]


def the_job(docs, name):
    jobs = [d for d in docs if d.get("kind") == "Job"]
    check(len(jobs) == 1, f"{name}: holds {len(jobs)} Jobs, not one")
    job = jobs[0]
    check(job.get("apiVersion") == "batch/v1", f"{name}: a Job of {job.get('apiVersion')}, not batch/v1")
    pod = job["spec"]["template"]["spec"]
    check(pod.get("restartPolicy") in ("Never", "OnFailure"), f"{name}: a Job's pods restart Never or OnFailure")
    containers = pod["containers"]
    check(len(containers) == 1, f"{name}: one container a pod")
    container = containers[0]
    volumes = {volume["name"]: volume for volume in pod.get("volumes", [])}
    for mount in container.get("volumeMounts", []):
        check(mount["name"] in volumes, f"{name}: mounts {mount['name']}, which no volume defines")
    environment = {entry["name"]: entry["value"] for entry in container.get("env", [])}
    command = container["command"]
    check(command[:2] == ["sh", "-c"] and len(command) == 3, f"{name}: the command is one sh -c script")
    return job, container, volumes, environment


def claim_mount(name, container, volumes):
    """The claim the container's one mount stands on, and where it is mounted."""
    mounts = container.get("volumeMounts", [])
    check(len(mounts) == 1, f"{name}: one volume mounted")
    claim = volumes[mounts[0]["name"]].get("persistentVolumeClaim", {}).get("claimName")
    check(claim, f"{name}: the volume is a persistent volume claim")
    return claim, mounts[0]["mountPath"]


def decoded(path, *options):
    output = subprocess.run(["ffmpeg", "-v", "error", "-i", path, *options, "pipe:1"], check=True,
                            stdout=subprocess.PIPE).stdout
    return hashlib.md5(output).hexdigest()


def main():
    build = os.path.realpath(sys.argv[1])
    capture_docs = documents("capture-parts.yaml")
    job, part_container, part_volumes, part_env = the_job(capture_docs, "capture-parts.yaml")
    job_settings = job["spec"]
    check(job_settings.get("completionMode") == "Indexed", "capture-parts.yaml: completionMode is not Indexed")
    parts = int(part_env["PARTS"])
    check(job_settings["completions"] == parts, f"capture-parts.yaml: {job_settings['completions']} completions for {parts} PARTS")
    check(1 <= job_settings.get("parallelism", 1) <= parts, "capture-parts.yaml: parallelism beyond the parts")
    check(job_settings.get("backoffLimit", 6) >= 1, "capture-parts.yaml: a failed pod is never started again")
    script = part_container["command"][2]
    check("JOB_COMPLETION_INDEX" in script and "--part" in script, "capture-parts.yaml: no part from the pod's index")
    claim, mount = claim_mount("capture-parts.yaml", part_container, part_volumes)
    claims = [d for d in capture_docs if d.get("kind") == "PersistentVolumeClaim"]
    check([c["metadata"]["name"] for c in claims] == [claim], f"capture-parts.yaml: no claim {claim} beside the Job")
    check(claims[0]["spec"]["accessModes"] == ["ReadWriteMany"],
          "capture-parts.yaml: the parts' claim is not ReadWriteMany (pods on many nodes write to it)")
    check(part_env["OUT"].startswith(mount + "/"), "capture-parts.yaml: OUT lies outside the shared volume")

    join_job, join_container, join_volumes, join_env = the_job(documents("join.yaml"), "join.yaml")
    check(join_job["spec"].get("completions", 1) == 1, "join.yaml: one join")
    check((claim, mount) == claim_mount("join.yaml", join_container, join_volumes),
          "join.yaml: does not mount the parts' claim where the parts are written")
    check(join_container["image"] == part_container["image"], "join.yaml: another image than the parts'")
    for name in ("OUT", "PARTS"):
        check(join_env[name] == part_env[name], f"join.yaml: {name} differs from capture-parts.yaml")
    print(f"kubernetes: an Indexed Job of {parts} parts and a join on claim {claim}, structure checked")

    # The pods' commands, run here: the volume is a folder, lantern the build's (it finds the
    # data beside itself), and a short capture in 4 parts, set as a user sets it.
    with tempfile.TemporaryDirectory() as work:
        bin_folder = os.path.join(work, "bin")
        os.mkdir(bin_folder)
        os.symlink(os.path.join(build, "lantern"), os.path.join(bin_folder, "lantern"))
        volume = os.path.join(work, "volume")
        os.mkdir(volume)
        settings = "--fps 30 --size 320x240 --from 240 --to 242 --crf 0"
        small = {"PARTS": "4", "CAPTURE_OPTIONS": settings, "OUT": part_env["OUT"].replace(mount, volume, 1),
                 "PATH": bin_folder + os.pathsep + os.environ["PATH"], "LP_NUM_THREADS": "1"}

        def pod_environment(manifest_env, **extra):
            settings_of_manifest = {name: small[name] for name in manifest_env if name in small}
            return {**os.environ, **manifest_env, **settings_of_manifest, "PATH": small["PATH"], **extra}

        pods = [subprocess.Popen(part_container["command"],
                                 env=pod_environment(part_env, JOB_COMPLETION_INDEX=str(index)),
                                 stderr=subprocess.PIPE, text=True) for index in range(4)]
        for index, pod in enumerate(pods):
            _, err = pod.communicate()
            check(pod.returncode == 0, f"pod {index}: exit status {pod.returncode}: {err}")
        out = small["OUT"]
        stem, kind = os.path.splitext(os.path.basename(out))
        written = sorted(os.listdir(volume))
        check(written == sorted(f"{stem}.part{k}of4{kind}" for k in range(1, 5)), f"the pods wrote {written}")
        join = subprocess.run(join_container["command"], env=pod_environment(join_env), stderr=subprocess.PIPE,
                              text=True)
        check(join.returncode == 0, f"the join: exit status {join.returncode}: {join.stderr}")
        whole = os.path.join(work, "whole" + kind)
        subprocess.run(["lantern", "capture", whole, *shlex.split(settings)], env={**os.environ, **small}, check=True,
                       stderr=subprocess.DEVNULL)
        for what, options in (("frames", ["-f", "rawvideo", "-pix_fmt", "rgb24"]), ("sound", ["-vn", "-f", "s16le"])):
            check(decoded(out, *options) == decoded(whole, *options),
                  f"the joined {what} differ from those of one capture")
    print("kubernetes: the pods' commands, run here for 4 parts, give the frames and sound of one capture")


if __name__ == "__main__":
    main()
