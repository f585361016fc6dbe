// Body is a handle to one rigid body of the simulation: where it is, how it
// moves, and the forces and torques gathered for the next step. It is a plain
// value that owns nothing: the world owns the body, and a copy names the same
// body. Every call but the null test needs a valid body. Vectors are three
// values the engine keeps; they change with every step or set.
#pragma once

struct dxBody;

class Body {
public:
    Body() = default;
    explicit Body(dxBody* id) : m_Id(id) {}

    explicit operator bool() const { return m_Id != nullptr; }
    bool operator==(const Body&) const = default;
    dxBody* Id() const { return m_Id; }

    const double* Position() const;
    const double* LinearVelocity() const;
    const double* AngularVelocity() const;
    // The 3 x 3 rotation in three rows of four values (the fourth unused).
    const double* Rotation() const;
    // What has been added since the last step.
    const double* Force() const;
    const double* Torque() const;

    void SetPosition(double x, double y, double z);
    void SetLinearVelocity(double x, double y, double z);
    void SetAngularVelocity(double x, double y, double z);
    // A turn of angle radians about the axis (x, y, z) from the rest pose.
    void SetRotationAbout(double x, double y, double z, double angle);
    // Capsules are built along z; a quarter turn about x stands one up along y.
    void StandUpright();

    void AddForce(double x, double y, double z);
    void AddTorque(double x, double y, double z);
    void SetForce(double x, double y, double z);
    void SetTorque(double x, double y, double z);

    // A disabled body stays where it is and gathers what is added to it; a
    // touch from an enabled body wakes it.
    void Enable();
    void Disable();
    bool IsEnabled() const;

    // Whether the step applies the engine's explicit gyroscopic term.
    void SetGyroscopic(bool on);
    bool IsGyroscopic() const;

    // The contact joints holding the body until the contact group is emptied.
    int ContactJointCount() const;

    // Destroys the body and makes this handle null; other copies dangle.
    void Destroy();

private:
    dxBody* m_Id = nullptr;
};
